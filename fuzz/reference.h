// Slow references for the fuzz targets, written step by step from the rules
// of each routine rather than from its code: byte walks over 1-based
// positions in 64-bit arithmetic, no shortcuts, no shared helpers with the
// toolkit. A fuzz target runs a routine and its reference on the same
// arguments and stops at the first difference.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavenro::reference {

using Pieces = std::vector<std::string>;

// Text primitives.
std::string Left(std::string_view text, long long n);
std::string Right(std::string_view text, long long n);
std::string Mid(std::string_view text, long long start, long long n);
int Find(std::string_view text, std::string_view sought, std::optional<int> start, bool ignoreCase);
int FindReverse(std::string_view text, std::string_view sought, std::optional<int> start,
                bool ignoreCase);
std::string Replace(std::string_view text, std::string_view sought, std::string_view replacement,
                    std::optional<int> start, std::optional<int> count, bool matchCase);
Pieces Split(std::string_view text, std::string_view separator, std::optional<int> limit);
std::string Trim(std::string_view text);
std::string RemoveSpaces(std::string_view text);
std::string ToLower(std::string_view text);
bool StartsWith(std::string_view text, std::string_view prefix);
int Compare(std::string_view a, std::string_view b);

// Conversions.
int ToInteger(std::string_view text);

// Text extraction, URLs and cookies, on the references above.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        int start, bool ignoreCase);
std::string HeaderFieldValue(std::string_view line);
std::string HostOfUrl(std::string_view url, bool reduce, bool keepPort,
                      std::optional<int> labelCount);
int PortOfUrl(std::string_view url);
std::string CookieNameOf(std::string_view entry);
std::string JoinDistinct(std::string_view text, std::string_view separator);
std::string MergeCookies(std::string& kept, std::string& fresh);

} // namespace tavenro::reference
