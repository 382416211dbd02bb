#include "web/url.h"

#include "text/bytes.h"
#include "text/text.h"
#include "web/text_between.h"

namespace tavenro {

namespace {

bool Contains(std::string_view text, std::string_view sought) {
    return FindText(text, sought, std::nullopt, false) != -1;
}

// The text before the first occurrence of mark; all of it without one.
Text CutBefore(std::string_view text, std::string_view mark) {
    const int at = FindText(text, mark, std::nullopt, false);
    return at == -1 ? Text(text) : TextLeft(text, at - 1);
}

// Keeps the last labelCount + 2 dot-separated labels (reduce: + 1). The
// search for dots starts at the length, so a dot in the last byte is never
// counted.
Text LastLabels(Text s, bool reduce, int labelCount) {
    s = ReplaceText(s, "http://", "", std::nullopt, std::nullopt, true);
    s = ReplaceText(s, "https://", "", std::nullopt, std::nullopt, true);
    s = CutBefore(s, "/");

    const int length = TextLength(s);
    int h = length;
    // Once no dot is left h stays -1, so a huge count need not be walked out.
    for (int i = 0; i < labelCount && h != -1; ++i)
        h = FindTextReverse(s, ".", h, false);
    const int l = FindTextReverse(s, ".", h, false);

    if (reduce)
        return TextRight(s, length - l);
    if (l != -1) {
        const int l2 = FindTextReverse(s, ".", l, false);
        if (l2 != -1)
            return TextRight(s, length - l2);
    }
    return s;
}

// Everything between the scheme and the next "/": a query or fragment that no
// "/" precedes stays part of the host.
Text HostBetweenSchemeAndSlash(Text s, bool reduce) {
    if (CompareText(TextRight(s, 1), "/") != 0)
        s = ConcatText({s, "/"});
    if (CompareText(TextLeft(s, 8), "https://") == 0) {
        s = TextBetween(s, "https://", "/");
    } else {
        if (!Contains(s, "http://"))
            s = ConcatText({"http://", s});
        s = TextBetween(s, "http://", "/");
    }
    if (reduce) {
        const TextArray labels = SplitText(s, ".");
        const int count = ArrayCount(labels);
        if (count > 1)
            s = ConcatText({labels.At(count - 1), ".", labels.At(count)});
    }
    return s;
}

// Where host mode begins to read the host: after a leading "https://", else
// after the first "http://", else at the start.
int HostStart(std::string_view url) {
    const Text s = ToLower(url);
    if (CompareText(TextLeft(s, 8), "https://") == 0)
        return 9;
    const int http = FindText(s, "http://", std::nullopt, false);
    return http == -1 ? 1 : http + 7;
}

} // namespace

Text HostOfUrl(std::string_view url, bool reduce, bool keepPort, std::optional<int> labelCount) {
    Text s = ToLower(url);
    s = labelCount ? LastLabels(std::move(s), reduce, *labelCount)
                   : HostBetweenSchemeAndSlash(std::move(s), reduce);
    if (!keepPort)
        s = CutBefore(s, ":");
    return s;
}

int PortOfUrl(std::string_view url) {
    const Text host = HostOfUrl(url, false, true);
    const int colon = FindTextReverse(host, ":", std::nullopt, false);
    if (colon != -1)
        return ToInteger(TextRight(host, TextLength(host) - colon));
    return CompareText(TextLeft(ToLower(url), 5), "https") == 0 ? 443 : 80;
}

Text PathOfUrl(std::string_view url) {
    const Text host = HostOfUrl(url);
    // The host is looked for where HostOfUrl read it, not from the first byte:
    // a host such as "p" or "ps" would otherwise be found inside the scheme
    // and the path would begin at "//".
    const int a = FindText(url, host, HostStart(url), true);
    const int b = FindText(url, "/", a, true);
    if (b <= 0)
        return "/";
    return TextRight(url, TextLength(url) - b + 1);
}

} // namespace tavenro
