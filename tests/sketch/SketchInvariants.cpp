#include "SketchInvariants.h"

#include <cmath>

#include "DollInvariants.h"
#include "SketchDoll.h"

namespace {

bool Finite(fPoint2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

std::string SketchDollInvariantViolation(SketchDoll& d) {
    std::string why = DollInvariantViolation(d);
    if (!why.empty()) return why;
    gesture** link = &d.lines;
    const long kMostLines = 1L << 24;  // far more than any document can make; stops a cycle
    long n = 0;
    for (gesture* g = d.lines; g; link = &g->next, g = g->next) {
        if (++n > kMostLines) return "the line list does not end";
        std::string at = "line " + std::to_string(n) + ": ";
        if (g->prev != link) return at + "prev is not the link that points at it";
        SketchDollLine2* l = dynamic_cast<SketchDollLine2*>(g);
        if (!l) return at + "not a bound line";
        if (l->doll != &d) return at + "belongs to another doll";
        if (!d.GetIsValidJoint(l->joint[0]) || !d.GetIsValidJoint(l->joint[1]))
            return at + "bound to joint " + std::to_string(l->joint[0]) + "-" +
                   std::to_string(l->joint[1]) + ", not both allocated";
        if (!Finite(l->jointLoc[0]) || !Finite(l->jointLoc[1]))
            return at + "binding location not finite";
        if (l->jointRotate != l->jointLoc[0].Angle(l->jointLoc[1]))
            return at + "bone angle does not match the binding locations";
        if (l->npts < 0 || l->npts > l->nptsTotal || (l->npts > 0 && !l->pts))
            return at + "point count outside its buffer";
        for (int i = 0; i < l->npts; i++)
            if (!Finite(l->pts[i])) return at + "recorded point not finite";
        if (l->npts > 0) {
            if (!l->RunFilter()) return at + "draw buffer could not be made";
            for (int i = 0; i < l->drawBufSize; i++)
                if (!Finite(l->drawBuf[i])) return at + "mapped point not finite";
        }
    }
    return std::string();
}
