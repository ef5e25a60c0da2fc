#include "app/form1_controls.h"

#include <stdexcept>
#include <string>

namespace lumora::app {
namespace {

template <class T>
T* Require(QWidget* form, const char* name) {
    auto* control = form->findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) {
        throw std::logic_error(std::string("Form1 has no control ") + name +
                               " of the expected class");
    }
    return control;
}

}  // namespace

Form1Controls FindForm1Controls(QWidget* form) {
    Form1Controls controls;
#define LUMORA_FIND_CONTROL(type, name) controls.name = Require<type>(form, #name);
    LUMORA_FORM1_CONTROLS(LUMORA_FIND_CONTROL)
#undef LUMORA_FIND_CONTROL
    return controls;
}

}  // namespace lumora::app
