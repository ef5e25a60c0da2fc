#include "app/binders/preview_binder.h"

#include <QPointer>
#include <QShortcut>

#include "app/preview_window.h"

namespace lumora::app {

void BindPreview(QWidget* form, core::LivePreview& preview) {
    auto* toggle = new QShortcut(QKeySequence(Qt::Key_F2), form);
    // The preview has the key too, while it is the active window.
    toggle->setContext(Qt::ApplicationShortcut);
    // Made at the first F2, so the form holds nothing more until then; as
    // the form's own window it goes when the form closes.
    QObject::connect(toggle, &QShortcut::activated, form,
                     [form, &preview, window = QPointer<PreviewWindow>()]() mutable {
                         if (!window) {
                             window = new PreviewWindow(preview, form);
                         }
                         if (window->isVisible()) {
                             window->hide();
                             return;
                         }
                         window->move(form->frameGeometry().topRight() + QPoint(8, 0));
                         window->show();
                     });
}

}  // namespace lumora::app
