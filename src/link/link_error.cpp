#include "link/link_error.h"

namespace lumora::link {

std::string WithErrorCode(const std::string& text, int code) {
    return text + " (Error: " + std::to_string(code) + ")";
}

}  // namespace lumora::link
