#pragma once
// Why reading an archive stopped. The file layer turns these into the messages the user sees.

#include <stdexcept>

namespace veltrane {

class ArchiveError : public std::runtime_error {
public:
    enum class Kind {
        BadFormat,  // early end, unknown class, wrong schema, bad object index, impossible count
        Generic,    // anything else, such as a text longer than any text can be
    };

    ArchiveError(Kind kind, const char* what) : std::runtime_error(what), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

}  // namespace veltrane
