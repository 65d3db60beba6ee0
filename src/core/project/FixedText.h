#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vantor {

// A text field of fixed capacity, as the project record has always had them:
// it never allocates, and a longer value is cut to the capacity.
template<std::size_t Capacity>
class FixedText
{
public:
    static constexpr std::size_t capacity = Capacity;

    FixedText() = default;

    void set(std::string_view text)
    {
        m_size = text.size() < Capacity ? text.size() : Capacity;
        text.copy(m_data.data(), m_size);
        m_data[m_size] = '\0';
    }
    FixedText &operator=(std::string_view text)
    {
        set(text);
        return *this;
    }
    void clear() { set({}); }

    std::string_view view() const { return {m_data.data(), m_size}; }
    std::string str() const { return std::string(view()); }
    const char *c_str() const { return m_data.data(); }
    bool empty() const { return m_size == 0; }
    std::size_t size() const { return m_size; }

    bool operator==(std::string_view other) const { return view() == other; }

private:
    std::array<char, Capacity + 1> m_data{};
    std::size_t m_size = 0;
};

} // namespace vantor
