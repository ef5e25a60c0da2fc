#pragma once

// The connection to the box: Connect and Disconnect, the box's answer to the
// connect request, Timer1 and its one tick, the picture size in "ResLabel",
// and a line that breaks under the program.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "base/handler_guard.h"
#include "base/long_work.h"
#include "base/operator_messages.h"
#include "base/program_state.h"
#include "link/link.h"
#include "link/picture_size.h"

namespace lumora::core {

enum class ConnectionState { Disconnected, PortOpen, Connected };

class Connection : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimer1IntervalMs = 100;
    // How long the set-up after connect waits for work that ran before it
    // (a transfer the operator started before Timer1's tick).
    static constexpr std::chrono::milliseconds kOtherWorkWait{10000};

    // What the right-hand column shows.
    struct View {
        QString connectCaption = QStringLiteral("Connect");
        bool portChoiceEnabled = true;
        bool pagesEnabled = false;
        bool saveToBoxEnabled = false;
        QString resolution = QStringLiteral("- - - -");
    };

    Connection(link::Link& link, base::ProgramState& state, base::LongWork& work,
               base::HandlerGuard& guard, base::OperatorMessages& messages);

    // The port the operator chose in "COM PORT".
    void setSelectedPort(const QString& name) { selectedPort_ = name; }
    const QString& selectedPort() const { return selectedPort_; }

    ConnectionState state() const;
    const View& view() const { return view_; }
    QTimer& timer1() { return timer1_; }

    // What Timer1's tick runs once the picture size is known.
    void setInitialisation(std::function<void(const link::PictureSize&)> initialise) {
        initialise_ = std::move(initialise);
    }

    // Handlers.
    void CNTBtnClick();
    void Timer1Timer();
    // Reads the box's picture size and shows it; nullopt (and the operator
    // told) when the box did not give all of it.
    std::optional<link::PictureSize> ReadPictureSize();

  signals:
    void changed();
    // Both page controls go back to their first page.
    void pagesReset();
    // The box answered the connect request; each feature area does its part.
    void boxAnswered();
    // The port closed: Disconnect, or the line broke.
    void disconnected();
    // The set-up after connect has ended; `sizeRead` false when the box
    // did not give its picture size (nothing was set up).
    void setUpEnded(bool sizeRead);

  private:
    void connectPort();
    void disconnectPort();
    void onConnectReply();
    void onLineBroke(const QString& message);
    void initialise();

    link::Link& link_;
    base::ProgramState& state_;
    base::LongWork& work_;
    base::HandlerGuard& guard_;
    base::OperatorMessages& messages_;
    View view_;
    QString selectedPort_;
    bool boxAnswered_ = false;
    QTimer timer1_;
    std::function<void(const link::PictureSize&)> initialise_;
    // Each told once per connection.
    bool sizeFailureShown_ = false;
    bool silenceShown_ = false;
};

}  // namespace lumora::core
