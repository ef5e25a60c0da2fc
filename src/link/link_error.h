#pragma once

#include <stdexcept>
#include <string>

namespace lumora::link {

// An error of the serial layer. Its text is what the operator sees, for
// example "Unable to open com port (Error: 2)".
class LinkError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "Text (Error: code)", the serial layer's message form.
std::string WithErrorCode(const std::string& text, int code);

}  // namespace lumora::link
