#pragma once

#include <QString>
#include <exception>

namespace kivo {

// The user-facing description of any error the program throws: every error
// type of ours keeps its message as what(). Empty for no error;
// `unknownText` for a thrown value that is no std::exception.
inline QString describeError(const std::exception_ptr& error,
    const QString& unknownText = QStringLiteral("An unknown error occurred."))
{
    if (!error) {
        return {};
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return unknownText;
    }
}

} // namespace kivo
