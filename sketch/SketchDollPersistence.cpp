// The sketch doll's document content: the "lines" node after the doll's own nodes.
#include <cmath>
#include <new>

#include "SketchDoll.h"
#include "tbfReader.h"
#include "tbfWriter.h"

void SketchDollLine2::WriteToFile(tbfWriter* w) {
    w->WriteAndOpenNode("line");
    for (int i = 0; i < 2; i++)
        w->Write("attach %d %f %f", joint[i], (double)jointLoc[i].x, (double)jointLoc[i].y);
    if (isMask) w->Write("mask");
    w->WriteAndOpenNode("points %d", GetNPoints());
    for (int i = 0; i < npts; i++) w->Write("%f %f", (double)pts[i].x, (double)pts[i].y);
    w->CloseNode();  // points
    w->CloseNode();  // line
}

namespace {

// A coordinate a document may hold: the doll's own bound keeps every mapped point finite
bool InDocumentRange(float x, float y) {
    return std::fabs(x) <= Doll::kMaxDocumentCoordinate &&
           std::fabs(y) <= Doll::kMaxDocumentCoordinate;
}

}  // namespace

SketchDollLine2* SketchDollLine2::ParseNode(SketchDoll* d, tbfReader* r) {
    SketchDollLine2* l = new (std::nothrow) SketchDollLine2(d);
    if (!l) return nullptr;
    int attachi = 0;
    if (r->CompareItem(0, "line") && r->OpenNode()) {
        while (r->Read()) {
            int attachNode = -1;
            float x = 0, y = 0;
            if (r->CompareItem(0, "attach") && attachi < 2 &&
                r->Parse("%0 %d %f %f", &attachNode, &x, &y) && InDocumentRange(x, y)) {
                l->jointLoc[attachi] = fPoint2(x, y);
                l->joint[attachi] = attachNode;
                attachi++;
            } else if (r->CompareItem(0, "mask")) {
                l->isMask = true;
            } else if (r->CompareItem(0, "points") && r->OpenNode()) {
                // A point out of range ends the points like one that is not a number
                while (r->Read() && r->Parse("%f %f", &x, &y) && InDocumentRange(x, y))
                    l->AddPoint(fPoint2(x, y));
                r->CloseNode();
            }
            // Anything else, a third attach included, is passed over; an unopened child
            // node is skipped by the next Read
        }
        r->CloseNode();
    }
    if (attachi != 2) {
        delete l;
        return nullptr;
    }
    l->jointRotate = l->jointLoc[0].Angle(l->jointLoc[1]);
    return l;
}

void SketchDoll::WriteNodesToFile(tbfWriter* w) {
    Doll::WriteNodesToFile(w);
    w->WriteAndOpenNode("lines");
    for (gesture* g = lines; g; g = g->GetNext()) static_cast<SketchDollLine*>(g)->WriteToFile(w);
    w->CloseNode();
}

void SketchDoll::ReadNodeFromFile(tbfReader* r) {
    if (!(r->CompareItem(0, "lines") && r->OpenNode())) {
        Doll::ReadNodeFromFile(r);
        return;
    }
    // Appended in document order (after any lines the doll holds), so a loaded doll has its
    // lines in the order it was saved with: the order in which a bone's lines and masks are
    // drawn over one another
    gesture** tail = &lines;
    while (*tail) tail = &(*tail)->next;
    while (r->Read()) {
        if (!r->CompareItem(0, "line")) continue;
        SketchDollLine2* l = SketchDollLine2::ParseNode(this, r);
        if (!l) continue;
        l->Insert(tail);
        tail = &l->next;
    }
    r->CloseNode();
    // Lines naming joints not read yet stay until the whole chunk has been read
}

void SketchDoll::ChunkRead() {
    // Nodes come in any order, so only now are the doll's joints known; a line naming
    // another slot could never be mapped, so it goes before anything draws or saves it
    DropLinesOfMissingJoints();
}

void SketchDoll::DropLinesOfMissingJoints() {
    gesture* g = lines;
    while (g) {
        gesture* following = g->GetNext();
        SketchDollLine2* l = dynamic_cast<SketchDollLine2*>(g);
        if (l && !(GetIsValidJoint(l->joint[0]) && GetIsValidJoint(l->joint[1]))) delete g;
        g = following;
    }
}
