#include "app/binders/diagnostics_binder.h"

#include <utility>

#include "app/binders/whole.h"

namespace lumora::app {

void BindDiagnostics(const Form1Controls& c, core::Diagnostics& diagnostics,
                     base::HandlerGuard& guard, QObject* context) {
    using Click = void (core::Diagnostics::*)();
    const std::pair<QAbstractButton*, Click> clicks[] = {
        {c.Button1, &core::Diagnostics::Button1Click},
        {c.Button3, &core::Diagnostics::Button3Click},
        {c.Button4, &core::Diagnostics::Button4Click},
        {c.Button5, &core::Diagnostics::Button5Click},
        {c.Button6, &core::Diagnostics::Button6Click},
        {c.Button8, &core::Diagnostics::Button8Click},
        {c.Button9, &core::Diagnostics::Button9Click},
        {c.Button13, &core::Diagnostics::Button13Click},
        {c.Button14, &core::Diagnostics::Button14Click},
        {c.Button16, &core::Diagnostics::Button16Click},
        {c.BitBtn29, &core::Diagnostics::BitBtn29Click},
    };
    for (const auto& entry : clicks) {
        QObject::connect(
            entry.first, &QAbstractButton::clicked, context,
            Whole(guard, [&diagnostics, click = entry.second] { (diagnostics.*click)(); }));
    }
    QObject::connect(
        c.InputBox, &QLineEdit::textChanged, context,
        Whole(guard, [&diagnostics](const QString& text) { diagnostics.setInputText(text); }));
}

}  // namespace lumora::app
