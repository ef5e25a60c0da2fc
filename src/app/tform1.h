#pragma once

// The main window Form1: the widgets that BuildForm1 creates, each page bound
// to its feature area by its own binder. The window holds no behaviour.

#include <QWidget>

#include "app/form1_controls.h"
#include "core/session.h"

namespace lumora::app {

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    enum class View {
        kOperator,  // the fixed client area
        kService,   // also the controls outside it and the four-corner tabs
    };

    // preferredPort: selected in "COM PORT" when it is in the list.
    explicit TForm1(core::Session& session, const QString& preferredPort = QString(),
                    View view = View::kOperator, QWidget* parent = nullptr);

    core::Session& session() { return session_; }
    const Form1Controls& controls() const { return controls_; }

    void FormCreate();

  protected:
    // Closing ends every wait on the box at once, so nothing holds the
    // program (or the port) after the window has gone.
    void closeEvent(QCloseEvent* event) override;

  private:
    core::Session& session_;
    Form1Controls controls_;
};

}  // namespace lumora::app
