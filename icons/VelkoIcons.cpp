#include "VelkoIcons.h"

#include "GIconTable.h"
#include "graphicsUtilsGL.h"

VelkoIconEntry icons[kNumVelkoIcons] = {
    {exclamation_mark, "exclamation-mark", 0},
    {question_mark, "question-mark", 0},
    {ellipses, "ellipses", 0},
    {droplet, "droplet", 0},
    {flies, "flies", 0},
    {broken_heart, "broken-heart", 0},
    {heart, "heart", 0},
    {skull, "skull", 0},
    {dark_cloud, "dark-cloud", 0},
    {speech_balloon, "speech-balloon", 0},
    {speechless_balloon, "speechless-balloon", 0},
    {thought_balloon, "thought-balloon", 0},
    {sigh, "sigh", 0},
    {gasp, "gasp", 0},
    {notes, "notes", 0},
    {turn_left, "turn-left", 0},
    {turn_right, "turn-right", 0},
    {zzz, "zzz", 0},
    {bubbles, "bubbles", 0},
    {gears, "gears", 0},
    {lightbulb, "lightbulb", 0},
    {none, "none", 0},
};

namespace {

const int kMenuColumns = 4;

// Walks the menu cells in table order: cell 0 is r itself, each icon's cell is the next
// one to the right, wrapping to r's left edge one row down after every fourth shift
class MenuCellWalker {
public:
    MenuCellWalker(fRect r, float gap) : home(r), gap(gap), cell(r), shifts(0) {}
    // Advances to the cell of the next icon
    const fRect& Next() {
        cell.Shift(home.GetWidth() + gap, 0);
        shifts++;
        if (shifts % kMenuColumns == 0)
            cell.SetTopLeft(fPoint2(home.left, cell.top + home.GetHeight() + gap));
        return cell;
    }

private:
    fRect home;
    float gap;
    fRect cell;
    int shifts;
};

}  // namespace

void LoadStaticIcons() {
    for (int i = 0; i < kNumVelkoIcons; i++)
        icons[i].id = GIconTable::AddStaticIcon(icons[i].data, icons[i].name);
}

void RenderIconMenu(fRect r, float gap) {
    MenuCellWalker walker(r, gap);
    for (int i = 0; i < kNumVelkoIcons; i++) {
        const fRect& cell = walker.Next();
        fColor::white()->SetColor();
        cell.Paint();
        GIconTable::PlotIcon(icons[i].id, cell, true);
    }
}

int PickIconMenu(fRect r, float gap, int current, fPoint2 p) {
    if (r.DoesContain(p)) return current;
    MenuCellWalker walker(r, gap);
    for (int i = 0; i < kNumVelkoIcons; i++)
        if (walker.Next().DoesContain(p)) return icons[i].id;
    return current;
}
