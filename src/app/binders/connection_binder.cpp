#include "app/binders/connection_binder.h"

#include <QSignalBlocker>
#include <algorithm>

#include "app/binders/whole.h"
#include "app/port_combo_box.h"
#include "link/port_list.h"

namespace lumora::app {
namespace {

void FillPortList(QComboBox* combo, const QString& preferredPort) {
    QStringList ports = link::ListPorts();
    if (!preferredPort.isEmpty() && !ports.contains(preferredPort)) {
        ports << preferredPort;
        std::sort(ports.begin(), ports.end());
    }
    combo->clear();
    combo->addItems(ports);
    // A running virtual box of this user is the likely choice when nothing
    // else is asked for.
    QString wanted = preferredPort;
    if (wanted.isEmpty()) {
        const QStringList boxes = link::VirtualBoxPorts();
        if (!boxes.isEmpty()) {
            wanted = boxes.front();
        }
    }
    int index = wanted.isEmpty() ? -1 : combo->findText(wanted);
    if (index < 0) {
        index = std::min(2, combo->count() - 1);
    }
    combo->setCurrentIndex(index);
}

// The list as it is now, the selection kept while its port exists; with the
// selected port gone nothing is selected, rather than another adapter that
// the operator did not choose.
void RefillPortList(QComboBox* combo, core::Connection& connection) {
    const QString selected = combo->currentText();
    const QStringList ports = link::ListPorts();
    {
        const QSignalBlocker quiet(combo);
        combo->clear();
        combo->addItems(ports);
        combo->setCurrentIndex(combo->findText(selected));
    }
    if (combo->currentText() != selected) {
        connection.setSelectedPort(combo->currentText());
    }
}

}  // namespace

void BindConnection(const Form1Controls& c, core::Connection& connection, base::HandlerGuard& guard,
                    QObject* context, const QString& preferredPort) {
    FillPortList(c.ComComboBox1, preferredPort);
    connection.setSelectedPort(c.ComComboBox1->currentText());
    QObject::connect(
        c.ComComboBox1, &QComboBox::currentTextChanged, context,
        Whole(guard, [&connection](const QString& name) { connection.setSelectedPort(name); }));
    if (auto* ports = qobject_cast<PortComboBox*>(c.ComComboBox1)) {
        QObject::connect(ports, &PortComboBox::aboutToShowPopup, context,
                         Whole(guard, [ports, &connection] { RefillPortList(ports, connection); }));
    }
    QObject::connect(c.CNTBtn, &QPushButton::clicked, context,
                     Whole(guard, [&connection] { connection.CNTBtnClick(); }));

    const auto show = [c, &connection] {
        const core::Connection::View& view = connection.view();
        c.CNTBtn->setText(view.connectCaption);
        c.ComComboBox1->setEnabled(view.portChoiceEnabled);
        c.PageControl1->setEnabled(view.pagesEnabled);
        c.PageControl2->setEnabled(view.pagesEnabled);
        c.SavetoBoxGroupBox->setEnabled(view.saveToBoxEnabled);
        c.ResLabel->setText(view.resolution);
    };
    QObject::connect(&connection, &core::Connection::changed, context, show);
    QObject::connect(&connection, &core::Connection::pagesReset, context, [c] {
        c.PageControl1->setCurrentIndex(0);
        c.PageControl2->setCurrentIndex(0);
    });
    show();
}

}  // namespace lumora::app
