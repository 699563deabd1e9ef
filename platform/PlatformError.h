// The exception raised by platform services (files, profiles, conversions) when they fail.
#pragma once

#include <stdexcept>
#include <string>

namespace quire {

// A failure of a platform service. The message is meant for the user: it names the
// file or value concerned and says what went wrong.
class EPlatformError : public std::runtime_error {
public:
    explicit EPlatformError(const std::string& message) : std::runtime_error(message) {}
};

// A write that did take place (the file holds the new content), but whose arrival on the
// disk the system could not confirm: after a power cut the old content may come back.
class EUnconfirmedWrite : public EPlatformError {
public:
    using EPlatformError::EPlatformError;
};

} // namespace quire
