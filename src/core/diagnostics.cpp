#include "core/diagnostics.h"

#include "base/handler_fault.h"
#include "link/packets.h"
#include "link/typed_packets.h"

namespace lumora::core {
namespace {

void Refuse(const QString& text) {
    throw base::HandlerFault(text.toStdString(), text);
}

}  // namespace

Diagnostics::Diagnostics(Parts parts) : p_(parts), hid_(link::MakeHidapiSystem()) {}

void Diagnostics::Button1Click() {
    p_.guard.run([this] {
        for (const QString& line : link::RunHidProbe(*hid_).lines) {
            p_.messages.appendLog(line);
        }
    });
}

void Diagnostics::Button3Click() {
    p_.guard.run([this] { p_.link.send(link::DiagnosticPacket(link::code::kDiagnostic0)); });
}

void Diagnostics::Button4Click() {
    p_.guard.run([this] { p_.link.send(link::DiagnosticPacket(link::code::kDiagnostic1)); });
}

link::Bytes Diagnostics::typedBytes() const {
    const auto bytes = link::TypedHexBytes(inputText_);
    if (!bytes) {
        Refuse(QStringLiteral("At most %1 hex digits can be sent; nothing was sent.")
                   .arg(link::kMaxTypedHexDigits));
    }
    return *bytes;
}

void Diagnostics::Button5Click() {
    p_.guard.run([this] {
        if (!p_.link.isOpen() || inputText_.isEmpty()) {
            return;
        }
        const link::Bytes bytes = typedBytes();
        if (bytes.size() < 2) {
            Refuse(QStringLiteral(
                "A register packet needs two bytes, the channel and the register (e.g. 00 52); "
                "nothing was sent."));
        }
        p_.link.send(link::TypedRegisterPacket(bytes));
    });
}

void Diagnostics::Button6Click() {
    p_.guard.run([this] {
        if (!p_.link.isOpen() || inputText_.isEmpty()) {
            return;
        }
        const link::Bytes bytes = typedBytes();
        if (bytes.size() > link::kMaxFreePacketBytes) {
            Refuse(QStringLiteral("A packet holds at most %1 typed bytes; nothing was sent.")
                       .arg(link::kMaxFreePacketBytes));
        }
        p_.link.send(link::TypedFreePacket(bytes));
    });
}

void Diagnostics::Button9Click() {
    p_.guard.run([this] { p_.mapTransfer.startLive(p_.mapTransfer.transferChannel()); });
}

void Diagnostics::Button13Click() {
    p_.uniformity.UploadUniformityGrid();
}

void Diagnostics::Button14Click() {
    p_.guard.run([this] {
        const int value = p_.link.ReadRegister(0, 82);
        p_.messages.appendLog(QStringLiteral("Value:%1").arg(value));
    });
}

void Diagnostics::Button16Click() {
    p_.gridEditing.WP17x17AClick();
}

void Diagnostics::BitBtn29Click() {
    // Checked even when it was already: the handler runs either way.
    p_.edgeBlend.page(0).edgeEnabled[0] = true;
    emit p_.edgeBlend.changed(0);
    p_.edgeBlend.EdgeCheckBoxClick(0);
}

}  // namespace lumora::core
