#include "gui/canvas.h"

#include <wchar.h>

#include "base/buffers/guardchar.h"
#include "base/string_convert.h"
#include "gui/ui_font.h"

namespace {

// A word (a piece of the text with its width) or a run of white space
// counted in space units: a tab is 4, other characters up to code 32 are 1,
// and a line feed ends its run with a count of 0, which marks a line break.
struct cTextToken {
    bool word;
    int32_t start;
    int32_t length;
    int32_t width;
    int32_t count;
};

bool is_line_break(const cTextToken& token) { return !token.word && token.count == 0; }

// Splits the text into tokens; words end at white space, after an
// ideographic comma or full stop, where East Asian text may break, and
// after a backslash, where a Windows path may break and still read as
// written (its blanks, where it must not break, are no-break spaces). Every
// token holds at least one character, so length + 1 slots always suffice.
bool tokenise(cCanvas* canvas, const wchar_t* text, int32_t length, _typebuf<cTextToken>& tokens, int32_t* count)
{
    tokens.Resize(length + 1);
    if (!tokens.Data())
        return false;
    int32_t n = 0;
    int32_t position = 0;
    while (position < length) {
        int32_t units = 0;
        int32_t run_start = position;
        while (position < length && text[position] <= 32) {
            wchar_t c = text[position++];
            if (c == L'\n') {
                units = 0;
                break;
            }
            units += c == L'\t' ? 4 : 1;
        }
        if (position > run_start)
            tokens[n++] = {false, run_start, position - run_start, 0, units};
        if (position >= length || text[position] <= 32)
            continue;
        int32_t word_start = position;
        while (position < length && text[position] > 32) {
            wchar_t c = text[position++];
            if (c == 0x3001 || c == 0x3002 || c == L'\\')
                break;
        }
        cSize size = {};
        if (!canvas->MeasureTextW(text + word_start, position - word_start, &size))
            return false;
        tokens[n++] = {true, word_start, position - word_start, size.width, 0};
    }
    *count = n;
    return true;
}

// Places lines of tokens in the box and draws them.
class cWrapLayout {
public:
    cWrapLayout(cCanvas* target, const wchar_t* source, int32_t box_x, int32_t box_y, int32_t box_width,
                int32_t box_alignment, bool draw_transparent, int32_t space)
        : canvas(target), text(source), x(box_x), y(box_y), width(box_width), alignment(box_alignment),
          transparent(draw_transparent), space_width(space), top(0), widest(0)
    {
    }

    // Draws tokens [first, end) as one line of the given content width;
    // spread lines widen their spaces to fill the box.
    void DrawLine(const _typebuf<cTextToken>& tokens, int32_t first, int32_t end, int32_t content_width,
                  int32_t space_units, bool spread)
    {
        double offset = 0.0;
        double space = space_width;
        if (alignment == 1)
            offset = (width - content_width) * 0.5;
        else if (alignment == 2)
            offset = width - content_width;
        else if (alignment == 3 && spread && space_units > 0)
            space = space_width + double(width - content_width) / space_units;
        for (int32_t i = first; i < end; ++i) {
            const cTextToken& token = tokens[i];
            if (!token.word) {
                offset += token.count * space;
                continue;
            }
            // Words that touch (a path broken after its separators) are
            // drawn as one run, where the font places each letter.
            int32_t last = i;
            double run = token.width;
            while (last + 1 < end && tokens[last + 1].word)
                run += tokens[++last].width;
            canvas->DrawTextColoured(x + int32_t(offset), y + top, transparent, text + token.start,
                                     tokens[last].start + tokens[last].length - token.start);
            offset += run;
            i = last;
        }
        if (int32_t(offset) > widest)
            widest = int32_t(offset);
    }

    cCanvas* canvas;
    const wchar_t* text;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t alignment;
    bool transparent;
    int32_t space_width;
    int32_t top;
    int32_t widest;
};

}  // namespace

// Greedy wrapping: a line ends before the word that does not fit (a space
// run just before it is dropped), at a space run that does not fit, or at a
// line break. Left and justified lines do not start with the space run that
// ended the previous line. A word wider than the box stands on a line of its
// own, unclipped; a space run wider than the box ends the layout. Text that
// needs more lines than fit the height is drawn below the box.
bool cCanvas::DrawTextWrapped(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                              const wchar_t* text, cSize* size, bool transparent, double line_spacing)
{
    if (width <= 0 || height <= 0 || !text)
        return false;
    if (line_spacing == 0.0)
        line_spacing = get_ui_line_spacing();
    cSize space = {};
    if (!MeasureTextA(" ", 1, &space) || space.height > height || space.width > width)
        return false;
    _typebuf<cTextToken> tokens;
    int32_t count = 0;
    if (!tokenise(this, text, int32_t(wcslen(text)), tokens, &count))
        return false;

    const int32_t step = int32_t(space.height * line_spacing);
    cWrapLayout layout(this, text, x, y, width, alignment, transparent, space.width);
    int32_t line_width = 0;
    int32_t space_units = 0;
    int32_t first = 0;
    int32_t previous = -1;
    bool has_word = false;
    bool last_joined = false;
    bool stopped = false;
    for (int32_t i = 0; i < count; ++i) {
        const cTextToken& token = tokens[i];
        int32_t candidate = line_width;
        bool broke;
        if (token.word) {
            // Breaking a line without a word would only leave an empty line.
            broke = has_word && line_width + token.width > width;
            if (!broke) {
                candidate = line_width + token.width;
                has_word = true;
            }
        } else if (token.count > 0) {
            if (int64_t(token.count) * space.width > width) {
                stopped = true;
                break;
            }
            broke = line_width + token.count * space.width > width;
            if (!broke) {
                candidate = line_width + token.count * space.width;
                space_units += token.count;
            }
        } else {
            broke = true;
        }
        if (!broke) {
            line_width = candidate;
            previous = i;
            last_joined = i == count - 1;
            continue;
        }

        int32_t end = i;
        if (token.word && previous >= first && !tokens[previous].word) {
            candidate -= tokens[previous].count * space.width;
            space_units -= tokens[previous].count;
            end = previous;
        }
        layout.DrawLine(tokens, first, end, candidate, space_units, !is_line_break(token));
        layout.top += step;

        int32_t next = i;
        if ((alignment == 0 || alignment == 3) && !token.word && token.count > 0)
            ++next;
        first = next;
        previous = next;
        space_units = 0;
        line_width = 0;
        has_word = false;
        if (next < count) {
            const cTextToken& start = tokens[next];
            line_width = start.word ? start.width : start.count * space.width;
            space_units = start.word ? 0 : start.count;
            has_word = start.word;
        }
        i = next;
        last_joined = false;
    }
    // The open line: the one the last token joined, or a word that began a
    // line when a break left nothing after it.
    if (!stopped && first < count && (last_joined || has_word)) {
        layout.DrawLine(tokens, first, count, line_width, space_units, false);
        layout.top += step;
    }
    if (size)
        *size = {layout.widest, layout.top};
    return true;
}

bool cCanvas::DrawTextWrappedUtf8(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                                  const char* text, cSize* size, bool transparent, double line_spacing)
{
    if (!text)
        return false;
    _guardchar<wchar_t> wide;
    wstr_from_utf8(-1, text, wide);
    if (wide.IsEmpty())
        return false;
    return DrawTextWrapped(x, y, width, height, alignment, wide.Text(), size, transparent, line_spacing);
}
