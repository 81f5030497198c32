#pragma once

#include <QString>
#include <stdexcept>

namespace nuvo {

// A failure of the platform layer (a file that cannot be written, text that cannot be converted, a
// process that cannot be started). what() holds the message as UTF-8; message() as a QString.
class PlatformError : public std::runtime_error {
 public:
  explicit PlatformError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& message() const { return message_; }

 private:
  QString message_;
};

}  // namespace nuvo
