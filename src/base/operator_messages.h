#pragma once

// What the operator is told: the log (Memo1, which lies outside the visible
// area) and the errors the window shows in a message box.

#include <QObject>
#include <QString>
#include <QStringList>

namespace lumora::base {

class OperatorMessages : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The log keeps the newest lines; Memo1 keeps as many.
    static constexpr int kMaxLogLines = 10000;

    const QStringList& log() const { return log_; }
    void appendLog(const QString& line);
    // "Start:" or "Done:" followed directly by the local date and time.
    void appendStampedLog(const QString& prefix);

    void raiseError(const QString& message);
    const QString& lastError() const { return lastError_; }
    int errorsRaised() const { return errorsRaised_; }

  signals:
    void logAppended(const QString& line);
    void errorRaised(const QString& message);

  private:
    QStringList log_;
    QString lastError_;
    int errorsRaised_ = 0;
};

// The local date and time in the system's short date and long time formats.
QString LocalDateTimeText();

}  // namespace lumora::base
