#include "SplashScreenJitter.h"

#include "fColor.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"

// The title's path, traced by hand with a pen on a 448-unit square and scaled to 0..1: from
// the upper middle it sweeps left and down round the lower half, climbs the right side, runs
// back across the top and curls inward to end left of the centre.
// clang-format off
const float SplashScreenJitter::motionLine[202] = {
    -1.000000f, -1.000000f, 0.453125f, 0.200893f, 0.437500f, 0.205357f,
    0.419643f, 0.212054f, 0.399554f, 0.220982f, 0.386161f, 0.234375f,
    0.375000f, 0.247768f, 0.363839f, 0.256696f, 0.354911f, 0.263393f,
    0.348214f, 0.279018f, 0.328125f, 0.283482f, 0.310268f, 0.292411f,
    0.296875f, 0.312500f, 0.281250f, 0.325893f, 0.270089f, 0.339286f,
    0.270089f, 0.354911f, 0.272321f, 0.370536f, 0.265625f, 0.386161f,
    0.263393f, 0.406250f, 0.261161f, 0.426339f, 0.256696f, 0.441964f,
    0.256696f, 0.459821f, 0.258929f, 0.477679f, 0.256696f, 0.491071f,
    0.254464f, 0.508929f, 0.256696f, 0.524554f, 0.258929f, 0.544643f,
    0.256696f, 0.569196f, 0.263393f, 0.587054f, 0.276786f, 0.598214f,
    0.283482f, 0.609375f, 0.294643f, 0.618304f, 0.312500f, 0.625000f,
    0.325893f, 0.640625f, 0.339286f, 0.662946f, 0.354911f, 0.674107f,
    0.363839f, 0.687500f, 0.375000f, 0.705357f, 0.388393f, 0.714286f,
    0.404018f, 0.723214f, 0.424107f, 0.734375f, 0.446429f, 0.741071f,
    0.470982f, 0.743304f, 0.493304f, 0.745536f, 0.517857f, 0.747768f,
    0.542411f, 0.743304f, 0.566964f, 0.736607f, 0.593750f, 0.732143f,
    0.618304f, 0.716518f, 0.647321f, 0.700893f, 0.683036f, 0.687500f,
    0.707589f, 0.671875f, 0.727679f, 0.651786f, 0.752232f, 0.633929f,
    0.765625f, 0.611607f, 0.774554f, 0.580357f, 0.785714f, 0.546875f,
    0.790179f, 0.515625f, 0.787946f, 0.484375f, 0.787946f, 0.459821f,
    0.787946f, 0.435268f, 0.781250f, 0.412946f, 0.772321f, 0.390625f,
    0.767857f, 0.366071f, 0.758929f, 0.341518f, 0.745536f, 0.316964f,
    0.734375f, 0.292411f, 0.727679f, 0.272321f, 0.712054f, 0.263393f,
    0.698661f, 0.250000f, 0.678571f, 0.236607f, 0.654018f, 0.227679f,
    0.627232f, 0.227679f, 0.607143f, 0.214286f, 0.587054f, 0.207589f,
    0.571429f, 0.205357f, 0.555804f, 0.196429f, 0.533482f, 0.191964f,
    0.513393f, 0.191964f, 0.493304f, 0.191964f, 0.473214f, 0.194196f,
    0.455357f, 0.198661f, 0.437500f, 0.207589f, 0.424107f, 0.216518f,
    0.415179f, 0.229911f, 0.408482f, 0.250000f, 0.399554f, 0.267857f,
    0.388393f, 0.283482f, 0.381696f, 0.303571f, 0.372768f, 0.314732f,
    0.363839f, 0.316964f, 0.361607f, 0.328125f, 0.361607f, 0.343750f,
    0.357143f, 0.352679f, 0.354911f, 0.370536f, 0.361607f, 0.388393f,
    0.361607f, 0.399554f, 0.368304f, 0.412946f, 0.375000f, 0.424107f,
    0.377232f, 0.435268f, -2.000000f, -2.000000f,
};
// clang-format on

int SplashScreenJitter::motionLineNumPoints = 0;

namespace {

// Entries in motionLine, markers included
const int kMotionLineEntries = 101;

int CountMotionLinePoints() {
    int i = 0;
    while (i < kMotionLineEntries - 1 && SplashScreenJitter::motionLine[2 * i] != -2) i++;
    return i - 1;
}

fPoint2 MotionLineEntry(int k) {
    return fPoint2(SplashScreenJitter::motionLine[2 * k],
                   SplashScreenJitter::motionLine[2 * k + 1]);
}

}  // namespace

SplashScreenJitter::SplashScreenJitter(const char* app, const char* author, App* shell)
    : SplashScreen(app, author, shell),
      isDone(false),
      start(fTime::GetSeconds()),
      titleDuration(6.0f),
      authorDuration(4.0f) {
    motionLineNumPoints = CountMotionLinePoints();
}

float SplashScreenJitter::GetTitleFade() const { return fTime::Since(start, titleDuration); }

fPoint2 SplashScreenJitter::GetTitleLoc(const fRect& b) const {
    float f = (float)(motionLineNumPoints - 2) * GetTitleFade();
    int i = (int)f;
    float frac = f - (float)i;
    // Once the fade is complete this stops on the second-last point rather than the last
    if (i < 0) i = 0;
    if (i > motionLineNumPoints - 3) i = motionLineNumPoints - 3;
    int k = i + 2;
    fPoint2 p;
    p.SetToBetween(MotionLineEntry(k), MotionLineEntry(k + 1), frac);
    return fPoint2(p.x * b.GetWidth() + b.left, p.y * b.GetHeight() + b.top);
}

float SplashScreenJitter::GetTitleShade() const {
    // In over the first 80 % of the title time, out over the last 20 %
    float fade = GetTitleFade();
    if (fade < 0.8f) {
        float c = fade * 1.25f;
        return c > 1 ? 1 : c;
    }
    return 1 - (fade - 0.8f) * 5;
}

float SplashScreenJitter::GetAuthorProgress() const {
    // Begins half a second before the title time ends
    return fTime::Since(start + titleDuration - 0.5f, authorDuration);
}

fPoint2 SplashScreenJitter::GetAuthorLoc(const fRect& b) const {
    float a = GetAuthorProgress();
    // Ease-out drop from the top edge to the centre, over the first sixth of the phase
    float yf = a * 6;
    if (yf > 1) yf = 1;
    yf = 1 - (1 - yf) * (1 - yf);
    // Sideways shake in the last fifth: a triangle of +-50 units, 0.1 s period, absolute clock
    float xf = 0;
    if (a > 0.8f) xf = fTime::Cycle(0, 0.1f) * 100 - 50;
    float w = fMeasureString("%s", GetAuthorString());
    return fPoint2(b.GetCenterX() - w / 2 + xf, b.GetCenterY() * yf);
}

void SplashScreenJitter::Render() {
    fRect b = GetBounds();
    // The stored strings are drawn as text, never as formats: a '%' in them must not be
    // read as a conversion

    fColor::lightGray()->SetColor();
    SetType(2);
    fDrawString(b.left + 6, b.bottom - 6, "%s", GetCopyrightString());

    fColor::SetToBlend(fColor::white(), fColor::black(), GetTitleShade());
    SetType(3);
    fDrawString(GetTitleLoc(b), "%s", GetAppString());

    float a = GetAuthorProgress();
    if (a > 0) {
        fColor::SetToBlend(fColor::white(), fColor::black(), 1 - a);
        fDrawString(GetAuthorLoc(b), "%s", GetAuthorString());
    }

    isDone = isDone || start + titleDuration + authorDuration < fTime::GetSeconds();
}

void SplashScreenJitter::Skip() { isDone = true; }

void SplashScreenJitter::LimitDuration(float seconds) {
    float total = titleDuration + authorDuration;
    if (total <= seconds || seconds <= 0) return;
    titleDuration *= seconds / total;
    authorDuration *= seconds / total;
}
