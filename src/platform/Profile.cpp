#include "platform/Profile.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}

// "[name]" after optional blanks; the name runs to the last "]" of the line, so text after it
// is ignored.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = TrimLeft(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == 0 || close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// A key line: a non-empty name before the first "=". Lines without one are kept but never match.
struct KeyLine {
    std::string_view key;
    std::size_t valueStart; // first byte of the value after the blanks that follow "="
};

std::optional<KeyLine> SplitKey(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty())
        return std::nullopt;
    std::size_t start = equals + 1;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    return KeyLine{key, start};
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of({"\r\n\0", 3}) != s.npos;
}

// A name can be written only if reading the line back finds the same name.
bool StorableSection(std::string_view name) {
    return !name.empty() && Trim(name) == name && !HasLineBreakOrNul(name) &&
           name.find(']') == name.npos;
}

bool StorableKey(std::string_view name) {
    return !name.empty() && Trim(name) == name && !HasLineBreakOrNul(name) &&
           name.find('=') == name.npos && !HeaderName(name);
}

// Cuts at kMaxProfileValue bytes; when the cut falls inside a UTF-8 character, before it.
std::string_view LimitLength(std::string_view value) {
    if (value.size() <= kMaxProfileValue)
        return value;
    std::size_t cut = kMaxProfileValue;
    auto continuation = [&](std::size_t i) { return (value[i] & 0xC0) == 0x80; };
    std::size_t lead = cut;
    while (lead > 0 && cut - lead < 3 && continuation(lead))
        --lead;
    if (lead != cut && static_cast<unsigned char>(value[lead]) >= 0xC0)
        cut = lead;
    return value.substr(0, cut);
}

} // namespace

Profile::Profile(std::string_view text) {
    sections_.emplace_back();
    bool endSeen = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        const std::size_t stop = text.find_first_of("\r\n", pos);
        if (stop == text.npos) {
            line.text = text.substr(pos);
            pos = text.size();
        } else {
            line.text = text.substr(pos, stop - pos);
            if (text[stop] == '\n') {
                line.end = LineEnd::LF;
                pos = stop + 1;
            } else if (stop + 1 < text.size() && text[stop + 1] == '\n') {
                line.end = LineEnd::CRLF;
                pos = stop + 2;
            } else {
                line.end = LineEnd::CR;
                pos = stop + 1;
            }
            if (!endSeen)
                newline_ = line.end;
            endSeen = true;
        }
        if (const auto name = HeaderName(line.text))
            sections_.push_back(Section{std::string(*name), true, {}});
        sections_.back().lines.push_back(std::move(line));
    }
}

std::string Profile::Text() const {
    std::string text;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            text += line.text;
            switch (line.end) {
            case LineEnd::None:
                break;
            case LineEnd::LF:
                text += '\n';
                break;
            case LineEnd::CRLF:
                text += "\r\n";
                break;
            case LineEnd::CR:
                text += '\r';
                break;
            }
        }
    }
    return text;
}

const Profile::Section* Profile::FindSection(std::string_view name) const {
    for (const Section& section : sections_) {
        if (section.named && SameName(section.name, name))
            return &section;
    }
    return nullptr;
}

Profile::Section* Profile::FindSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

std::optional<std::string_view> Profile::FindValue(std::string_view sectionName,
                                                   std::string_view key) const {
    const Section* section = FindSection(sectionName);
    if (!section)
        return std::nullopt;
    for (std::size_t i = 1; i < section->lines.size(); ++i) {
        const std::string_view line = section->lines[i].text;
        const auto split = SplitKey(line);
        if (split && SameName(split->key, key))
            return line.substr(split->valueStart);
    }
    return std::nullopt;
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const auto found = FindValue(section, key);
    if (!found)
        return std::string(fallback);
    std::string_view value = *found;
    value = Trim(value.substr(0, value.find('\0')));
    return std::string(LimitLength(value));
}

std::int32_t Profile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    return ParseProfileInteger(ReadString(section, key, "")).value_or(fallback);
}

bool Profile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

double Profile::ReadReal(std::string_view section, std::string_view key, double fallback,
                         std::string_view decimalSeparator) const {
    return ParseProfileReal(ReadString(section, key, ""), decimalSeparator).value_or(fallback);
}

bool Profile::WriteString(std::string_view sectionName, std::string_view key,
                          std::string_view value) {
    if (!StorableSection(sectionName) || !StorableKey(key) || HasLineBreakOrNul(value))
        return false;
    const std::string keyLine = std::string(key) + "=" + std::string(value);

    // The line that will no longer be the last of the file needs an end of its own.
    auto endLastLine = [this] {
        for (auto section = sections_.rbegin(); section != sections_.rend(); ++section) {
            if (!section->lines.empty()) {
                if (section->lines.back().end == LineEnd::None)
                    section->lines.back().end = newline_;
                return;
            }
        }
    };

    Section* section = FindSection(sectionName);
    if (!section) {
        endLastLine();
        Section added{std::string(sectionName), true, {}};
        std::string header = "[";
        header.append(sectionName).append("]");
        added.lines.push_back({std::move(header), newline_});
        added.lines.push_back({keyLine, newline_});
        sections_.push_back(std::move(added));
        return true;
    }

    std::vector<Line>& lines = section->lines;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto split = SplitKey(lines[i].text);
        if (split && SameName(split->key, key)) {
            // Only the value changes; the key's spelling and spacing stay as the user left them.
            std::string& text = lines[i].text;
            std::size_t start = split->valueStart;
            if (start == text.size())
                start = text.find('=') + 1; // an empty value: no blanks before the new one
            text.replace(start, text.npos, value);
            return true;
        }
    }

    // After the last line of the section that is not blank, so blank lines before the next
    // section stay where they are.
    std::size_t after = lines.size();
    while (after > 1 && Trim(lines[after - 1].text).empty())
        --after;
    if (lines[after - 1].end == LineEnd::None)
        lines[after - 1].end = newline_;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after), Line{keyLine, newline_});
    return true;
}

bool Profile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

bool Profile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool Profile::WriteReal(std::string_view section, std::string_view key, double value,
                        std::string_view decimalSeparator) {
    return WriteString(section, key, FormatProfileReal(value, decimalSeparator));
}

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t value = 0;
        const char* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data() + 2, end, value, 16);
        if (error != std::errc() || stop != end)
            return std::nullopt;
        return static_cast<std::int32_t>(value);
    }
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    std::uint64_t magnitude = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, magnitude, 10);
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    if (error != std::errc() || stop != end || magnitude > limit)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}

std::optional<double> ParseProfileReal(std::string_view text, std::string_view decimalSeparator) {
    if (decimalSeparator.empty())
        decimalSeparator = ".";
    // Rewritten into the C form that from_chars reads: sign, digits, ".", digits, exponent.
    std::string plain;
    std::size_t i = 0;
    auto digitsFrom = [&] {
        const std::size_t first = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            plain += text[i++];
        return i - first;
    };
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::size_t mantissaDigits = digitsFrom();
    if (text.substr(i, decimalSeparator.size()) == decimalSeparator) {
        i += decimalSeparator.size();
        plain += '.';
        mantissaDigits += digitsFrom();
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        if (digitsFrom() == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const auto [stop, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || stop != plain.data() + plain.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::string FormatProfileReal(double value, std::string_view decimalSeparator) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    // 15 significant digits, d.dddddddddddddde[+-]x, then trailing zeros dropped.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string_view scientific = buffer;
    const std::size_t e = scientific.find('e');
    std::string digits(1, scientific[0]);
    digits.append(scientific.substr(2, e - 2));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(buffer + e + 1);

    std::string text = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        text += digits[0];
        if (digits.size() > 1)
            text += std::string(decimalSeparator) + digits.substr(1);
        text += 'E';
        text += std::to_string(exponent);
    } else if (exponent >= 0) {
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole)
            text += digits + std::string(whole - digits.size(), '0');
        else
            text += digits.substr(0, whole) + std::string(decimalSeparator) + digits.substr(whole);
    } else {
        text += '0';
        text.append(decimalSeparator);
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

} // namespace platform
