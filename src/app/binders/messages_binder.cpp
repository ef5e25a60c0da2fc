#include "app/binders/messages_binder.h"

#include <QMessageBox>

#include "app/startup.h"

namespace lumora::app {

void BindMessages(const Form1Controls& c, base::OperatorMessages& messages, QWidget* window) {
    c.Memo1->setMaximumBlockCount(base::OperatorMessages::kMaxLogLines);
    QObject::connect(&messages, &base::OperatorMessages::logAppended, c.Memo1,
                     [memo = c.Memo1](const QString& line) { memo->appendPlainText(line); });
    QObject::connect(
        &messages, &base::OperatorMessages::errorRaised, window, [window](const QString& message) {
            auto* box =
                new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                                message, QMessageBox::Ok, window);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();  // window-modal but not blocking: replies keep flowing
        });
}

}  // namespace lumora::app
