#include "platform/win32/TextLayout.h"

namespace valmere::win32 {
namespace {

bool IsSpace(char32_t c) { return c == U' '; }
bool IsBreak(char32_t c) { return c == U'\r' || c == U'\n'; }

}  // namespace

TextSetter::TextSetter(const ResolvedFont& font, UINT format)
    : face_(*font.face),
      format_(format),
      expandTabs_((format & DT_EXPANDTABS) != 0),
      tabWidth_(std::int64_t{8} * font.averageWidth) {}

std::int64_t TextSetter::Step(std::int64_t x, char32_t codePoint) const {
    if (ExpandsTab(codePoint)) return (x / tabWidth_ + 1) * tabWidth_;
    return x + FaceGlyph(face_, codePoint).advance;
}

std::int64_t TextSetter::Measure(const std::vector<char32_t>& text, std::size_t begin, std::size_t end) const {
    std::int64_t x = 0;
    for (std::size_t i = begin; i < end; ++i) x = Step(x, text[i]);
    return x;
}

void TextSetter::BreakLines(const std::vector<char32_t>& text, std::int64_t wrapWidth,
                            std::vector<TextLine>& lines) const {
    lines.clear();
    const std::size_t count = text.size();
    if (format_ & DT_SINGLELINE) {
        lines.push_back({0, count, Measure(text, 0, count)});
        return;
    }
    for (std::size_t paragraph = 0;;) {
        std::size_t stop = paragraph;
        while (stop < count && !IsBreak(text[stop])) ++stop;
        if (format_ & DT_WORDBREAK)
            WrapParagraph(text, paragraph, stop, wrapWidth, lines);
        else
            lines.push_back({paragraph, stop, Measure(text, paragraph, stop)});
        if (stop == count) return;
        paragraph = stop + (text[stop] == U'\r' && stop + 1 < count && text[stop + 1] == U'\n' ? 2 : 1);
        if (paragraph == count) return;
    }
}

// Greedy: each step takes the spaces before a word and the word; a step that
// would pass wrapWidth ends the line, unless the line is still empty.
void TextSetter::WrapParagraph(const std::vector<char32_t>& text, std::size_t begin, std::size_t end,
                               std::int64_t wrapWidth, std::vector<TextLine>& lines) const {
    std::size_t position = begin;
    do {
        std::size_t lineEnd = position;
        std::int64_t width = 0;
        while (lineEnd < end) {
            std::size_t next = lineEnd;
            std::int64_t grown = width;
            while (next < end && IsSpace(text[next])) grown = Step(grown, text[next++]);
            while (next < end && !IsSpace(text[next])) grown = Step(grown, text[next++]);
            if (lineEnd > position && grown > wrapWidth) break;
            width = grown;
            lineEnd = next;
        }
        lines.push_back({position, lineEnd, width});
        position = lineEnd;
        while (position < end && IsSpace(text[position])) ++position;
    } while (position < end);
}

}  // namespace valmere::win32
