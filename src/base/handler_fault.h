#pragma once

// A handler gave up on the box for a reason its own feature area words: the
// guard shows the area's text, or nothing when the link has already told the
// operator what went wrong (the box stopped answering).

#include <QString>
#include <stdexcept>
#include <string>

namespace lumora::base {

class HandlerFault : public std::runtime_error {
  public:
    HandlerFault(const std::string& what, QString operatorText)
        : std::runtime_error(what), operatorText_(std::move(operatorText)) {}

    // Empty when nothing more should be shown.
    const QString& operatorText() const { return operatorText_; }

  private:
    QString operatorText_;
};

}  // namespace lumora::base
