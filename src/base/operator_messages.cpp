#include "base/operator_messages.h"

#include <QDateTime>
#include <QLocale>

namespace lumora::base {

QString LocalDateTimeText() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::LongFormat);
}

void OperatorMessages::appendLog(const QString& line) {
    // A box that keeps sending stray replies must not grow the log for good.
    if (log_.size() >= kMaxLogLines) {
        log_.remove(0, log_.size() - kMaxLogLines + 1);
    }
    log_ << line;
    emit logAppended(line);
}

void OperatorMessages::appendStampedLog(const QString& prefix) {
    appendLog(prefix + LocalDateTimeText());
}

void OperatorMessages::raiseError(const QString& message) {
    lastError_ = message;
    ++errorsRaised_;
    emit errorRaised(message);
}

}  // namespace lumora::base
