#pragma once

#include <QString>
#include <exception>

namespace kivo {

// The user-facing description of any error the program throws: every error
// type of ours keeps its message as what().
inline QString describeError(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
}

} // namespace kivo
