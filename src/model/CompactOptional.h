#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <compare>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>

namespace kivo {

// An optional value that needs no flag of its own beside the value, so a
// library of 200,000 tracks with a dozen optional fields each stays small.
// It offers the part of std::optional's interface the program uses and
// converts to and from std::optional.
//
// `Traits` says which value stands for "absent" (`isAbsent`, `absent()`) and
// how a present value that would look absent is kept present (`present`).
template <typename T, typename Traits> class CompactOptional {
public:
    using value_type = T;

    CompactOptional() = default;
    CompactOptional(std::nullopt_t) { }
    CompactOptional(const T& value)
        : m_value(Traits::present(value))
    {
    }
    CompactOptional(T&& value)
        : m_value(Traits::present(std::move(value)))
    {
    }
    CompactOptional(const std::optional<T>& value)
    {
        if (value) {
            m_value = Traits::present(*value);
        }
    }
    CompactOptional(std::optional<T>&& value)
    {
        if (value) {
            m_value = Traits::present(std::move(*value));
        }
    }

    CompactOptional& operator=(std::nullopt_t)
    {
        reset();
        return *this;
    }
    // Anything the value itself is made from, as std::optional takes it.
    template <typename U>
    requires(
        !std::is_same_v<std::remove_cvref_t<U>,
            CompactOptional> && !std::is_same_v<std::remove_cvref_t<U>, T> && std::is_constructible_v<T, U>)
        CompactOptional&
        operator=(U&& value)
    {
        m_value = Traits::present(T(std::forward<U>(value)));
        return *this;
    }

    bool has_value() const { return !Traits::isAbsent(m_value); }
    explicit operator bool() const { return has_value(); }

    const T& value() const&
    {
        if (!has_value()) {
            throw std::bad_optional_access();
        }
        return m_value;
    }
    T& value() &
    {
        if (!has_value()) {
            throw std::bad_optional_access();
        }
        return m_value;
    }
    template <typename U> T value_or(U&& fallback) const
    {
        return has_value() ? m_value : T(std::forward<U>(fallback));
    }

    const T& operator*() const { return m_value; }
    T& operator*() { return m_value; }
    const T* operator->() const { return &m_value; }
    T* operator->() { return &m_value; }

    void reset() { m_value = Traits::absent(); }
    template <typename... Args> T& emplace(Args&&... args)
    {
        m_value = Traits::present(T(std::forward<Args>(args)...));
        return m_value;
    }

    operator std::optional<T>() const
    {
        return has_value() ? std::optional<T>(m_value) : std::nullopt;
    }

    friend bool operator==(const CompactOptional& a, const CompactOptional& b)
    {
        return a.has_value() == b.has_value() && (!a.has_value() || a.m_value == b.m_value);
    }
    friend bool operator==(const CompactOptional& a, std::nullopt_t) { return !a.has_value(); }
    friend bool operator==(const CompactOptional& a, const std::optional<T>& b)
    {
        return a.has_value() == b.has_value() && (!a.has_value() || a.m_value == *b);
    }
    friend bool operator==(const CompactOptional& a, const T& b)
    {
        return a.has_value() && a.m_value == b;
    }

private:
    T m_value = Traits::absent();
};

// Texts and bytes: the null value is absent; a present one is never null
// (an empty present value is kept as an empty, non-null one).
template <typename T> struct NullMeansAbsent {
    static bool isAbsent(const T& value) { return value.isNull(); }
    static T absent() { return T(); }
    static T present(T value)
    {
        if (value.isNull()) {
            value = emptyNotNull();
        }
        return value;
    }

private:
    static T emptyNotNull()
    {
        if constexpr (std::is_same_v<T, QByteArray>) {
            return QByteArray("", 0);
        } else {
            return QStringView(u"", 0).toString();
        }
    }
};

// Integers: the least value is absent. No field the program stores means
// anything by it (years, track and disc numbers, bpm, bit and sample rates);
// a reader refuses it (canHold) rather than take it for no value.
struct LeastMeansAbsent {
    static constexpr bool canHold(qint64 value) { return value != absent(); }
    static bool isAbsent(qint64 value) { return value == absent(); }
    static constexpr qint64 absent() { return std::numeric_limits<qint64>::min(); }
    static qint64 present(qint64 value) { return value; }
};

template <typename T> using OptionalNullable = CompactOptional<T, NullMeansAbsent<T>>;
using OptionalInt = CompactOptional<qint64, LeastMeansAbsent>;

} // namespace kivo
