#include "keydata/key_captions.h"

#include "keydata/default_labels.h"
#include "keydata/keypos.h"
#include "keydata/listing_text.h"
#include "keydata/models.h"

#include <memory>

namespace ptu {

namespace {

std::string cellName(int page, int col, int row)
{
    return "page " + std::to_string(page) + " column " + std::to_string(col) + " row " + std::to_string(row);
}

std::string at(int line) { return "line " + std::to_string(line) + ": "; }

}  // namespace

bool captionCell(const State& st, int page, int col, int row)
{
    if (!knownModel(st.mv.kbt_f) || page < 0 || page >= pn[st.mv.kbt_f]) return false;
    if (col < 0 || col >= kCols || row < 0 || row >= kRows) return false;
    const int use = keyUse(st, page, col, row);
    return use == KEY_USABLE || use == KEY_HIDDEN;
}

PageTexts defaultCaptions(const State& st)
{
    // The labels come from the window's own rules, run on a scratch state
    // (they also fill macro texts with -f, and log nothing there).
    auto scratch = std::make_unique<State>();
    scratch->fl = st.fl;
    scratch->mv = st.mv;
    if (!knownModel(st.mv.kbt_f)) return scratch->kd.kcap;
    update_globals(*scratch);
    defaultLabels(*scratch);
    return std::move(scratch->kd.kcap);
}

std::vector<CaptionLine> changedCaptions(const State& st)
{
    std::vector<CaptionLine> out;
    if (!knownModel(st.mv.kbt_f)) return out;
    const PageTexts defaults = defaultCaptions(st);
    for (int p = 0; p < pn[st.mv.kbt_f]; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const std::string& cap = keyCell(st.kd.kcap, p, c, r);
                if (captionCell(st, p, c, r) && cap != defaults[size_t(p)][size_t(r)][size_t(c)])
                    out.push_back({p, c, r, cap, 0});
            }
    return out;
}

std::string captionLine(const CaptionLine& c)
{
    std::string line = "caption " + std::to_string(c.page) + " " + std::to_string(c.col) + " " + std::to_string(c.row);
    if (!c.text.empty()) line += " " + escapeText(c.text);
    return line;
}

std::string captionsText(const State& st)
{
    const std::vector<CaptionLine> lines = changedCaptions(st);
    if (lines.empty()) return {};
    std::string text = "# ptu (Tessaral Programmable Keyboard Manager) key captions, model " +
                       std::to_string(st.mv.kbt_f) + ": " + modelName(st.mv.kbt_f) + "\n";
    for (const CaptionLine& c : lines) text += captionLine(c) + "\n";
    return text;
}

std::optional<std::string> parseCaption(std::string_view rest, CaptionLine& out)
{
    CellText cell;
    if (auto why = parseCellText("caption", rest, cell)) return why;
    if (cell.text.size() > kCaptionChars)
        return "caption: \"" + escapeText(cell.text) + "\" has " + std::to_string(cell.text.size()) +
               " characters, more than the " + std::to_string(kCaptionChars) + " a caption holds";
    if (cell.text.find('\0') != std::string::npos) return "caption: a caption cannot hold byte 0";
    out.page = cell.page;
    out.col = cell.col;
    out.row = cell.row;
    out.text = std::move(cell.text);
    return std::nullopt;
}

CaptionsRead parseCaptions(std::string_view text)
{
    CaptionsRead out;
    std::vector<int> seen(size_t(kPages * kRows * kCols), 0);
    int lineNo = 0;
    std::string_view rest;
    for (std::string_view kw; !(kw = nextItem(text, lineNo, rest)).empty();) {
        if (kw != "caption") {
            out.warnings.push_back(at(lineNo) + "\"" + escapeText(kw.substr(0, 20)) + "\" is no caption line");
            continue;
        }
        CaptionLine c;
        if (auto why = parseCaption(rest, c)) {
            out.warnings.push_back(at(lineNo) + *why);
            continue;
        }
        int& first = seen[size_t((c.page * kRows + c.row) * kCols + c.col)];
        if (first) {
            out.warnings.push_back(at(lineNo) + cellName(c.page, c.col, c.row) + " was given on line " +
                                   std::to_string(first) + " already");
            continue;
        }
        first = lineNo;
        c.line = lineNo;
        out.lines.push_back(std::move(c));
    }
    return out;
}

void applyCaptions(State& st, const std::vector<CaptionLine>& lines, std::vector<std::string>& warnings)
{
    if (!knownModel(st.mv.kbt_f)) return;
    const PageTexts defaults = defaultCaptions(st);
    for (int p = 0; p < pn[st.mv.kbt_f]; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                if (captionCell(st, p, c, r))
                    keyCell(st.kd.kcap, p, c, r) = defaults[size_t(p)][size_t(r)][size_t(c)];
    for (const CaptionLine& l : lines) {
        if (!captionCell(st, l.page, l.col, l.row)) {
            warnings.push_back(at(l.line) + cellName(l.page, l.col, l.row) + ": the model has no key there");
            continue;
        }
        keyCell(st.kd.kcap, l.page, l.col, l.row) = l.text;
    }
}

}  // namespace ptu
