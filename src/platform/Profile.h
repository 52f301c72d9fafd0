#pragma once
// An ini file's text as the Windows private-profile functions treat it: sections and keys
// matched ignoring case, the first of duplicates wins, and a write changes only the value it
// sets, so every other byte of a hand-edited or damaged file survives a write.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A value read is cut to this many bytes (the 2048-character buffer of the reads).
inline constexpr std::size_t kMaxProfileValue = 2047;

class Profile {
public:
    Profile() = default;
    // Any bytes at all: lines end in LF, CR LF or a lone CR; nothing is ever rejected.
    explicit Profile(std::string_view text);

    // The file text: the text given, with the writes applied.
    std::string Text() const;

    // The value of the first key of that name in the first section of that name: blanks around
    // it removed, cut at a NUL byte and to kMaxProfileValue bytes (never inside a UTF-8
    // character). `fallback` when there is no such key.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // Decimal, or hexadecimal after "0x"; `fallback` when missing or not a 32-bit whole number.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    // Any whole number other than 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
    // A real written with the user's decimal separator; `fallback` when it does not convert.
    double ReadReal(std::string_view section, std::string_view key, double fallback,
                    std::string_view decimalSeparator) const;

    // Sets the value of the key where it stands; a missing key goes after the last line of its
    // section, a missing section to the end of the text. False, and nothing changed, when the
    // value holds a line break or a NUL byte, or the names cannot stand on a line of their own.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    // "1" or "0".
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    bool WriteReal(std::string_view section, std::string_view key, double value,
                   std::string_view decimalSeparator);

private:
    enum class LineEnd : std::uint8_t { None, LF, CRLF, CR };
    struct Line {
        std::string text;
        LineEnd end = LineEnd::None;
    };
    // The lines up to the next section header; the first section holds the lines before any
    // header and has no name.
    struct Section {
        std::string name;
        bool named = false;
        std::vector<Line> lines; // the header line first when named
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_;
    LineEnd newline_ = LineEnd::LF; // what new lines end with: the file's own first line end
};

// The integer form: optional sign and decimal digits, or "0x"/"0X" and up to 32 bits of hex
// digits (0xFFFFFFFF is -1). Nothing else, not even blanks.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);
// The real form: optional sign, digits with at most one decimal separator, an optional
// exponent; no blanks, no thousands separators, no "nan" or "inf".
std::optional<double> ParseProfileReal(std::string_view text, std::string_view decimalSeparator);
// The general number format: up to 15 significant digits, no separator for a whole number, an
// exponent ("1E20", "1E-5") only for very large or small values.
std::string FormatProfileReal(double value, std::string_view decimalSeparator);

} // namespace platform
