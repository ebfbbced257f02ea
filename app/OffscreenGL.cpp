#include "OffscreenGL.h"

#define GL_GLEXT_PROTOTYPES
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "graphicsUtilsGL.h"

namespace {

// Samples per buffer pixel of a multisampled buffer
const GLint kSamples = 4;
// Pictures are drawn at twice their size each way while the buffer stays within this many
// pixels (up to 4096 x 4096 pictures); larger ones are multisampled instead
const long long kMostOversampledPixels = 64LL << 20;
// Multisampled buffers stay within this many bytes; a larger picture is drawn plain
const long long kMostMultisampleBytes = 1LL << 30;

std::string EglFailure(const char* what) {
    char code[16];
    snprintf(code, sizeof code, "0x%04x", (unsigned)eglGetError());
    return std::string("no offscreen OpenGL: ") + what + " (EGL error " + code + ")";
}

// Premultiplied colours of n pixels back to plain ones; a wholly transparent pixel is
// transparent white
void Unpremultiply(unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; i++, p += 4) {
        unsigned alpha = p[3];
        if (alpha == 255) continue;
        for (int c = 0; c < 3; c++)
            p[c] =
                alpha == 0 ? 255 : (unsigned char)std::min(255u, (p[c] * 255u + alpha / 2) / alpha);
    }
}

}  // namespace

OffscreenGL::OffscreenGL()
    : display(EGL_NO_DISPLAY),
      config(nullptr),
      context(EGL_NO_CONTEXT),
      surface(EGL_NO_SURFACE),
      width(0),
      height(0),
      oversample(1),
      samples(0),
      drawFramebuffer(0),
      drawRenderbuffer(0),
      readFramebuffer(0),
      readRenderbuffer(0),
      previousDisplay(nullptr),
      previousDraw(0),
      previousRead(0),
      previousContext(nullptr) {}

OffscreenGL::~OffscreenGL() { Destroy(); }

void OffscreenGL::Destroy() {
    if (display != EGL_NO_DISPLAY) {
        if (context != EGL_NO_CONTEXT && eglGetCurrentContext() == context) {
            glFinish();
            GLuint framebuffers[2] = {drawFramebuffer, readFramebuffer};
            GLuint renderbuffers[2] = {drawRenderbuffer, readRenderbuffer};
            glDeleteFramebuffers(2, framebuffers);
            glDeleteRenderbuffers(2, renderbuffers);
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
        if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
        eglTerminate(display);
        eglReleaseThread();
    }
    display = EGL_NO_DISPLAY;
    config = nullptr;
    context = EGL_NO_CONTEXT;
    surface = EGL_NO_SURFACE;
    drawFramebuffer = drawRenderbuffer = readFramebuffer = readRenderbuffer = 0;
    buffer.clear();
    buffer.shrink_to_fit();
    SetPictureDrawing(0);
    if (previousContext) {
        glXMakeContextCurrent((Display*)previousDisplay, previousDraw, previousRead,
                              (GLXContext)previousContext);
        previousContext = nullptr;
    }
}

bool OffscreenGL::Create(int w, int h, std::string* error) {
    Destroy();
    if (w <= 0 || h <= 0) {
        *error = "the picture has no pixels";
        return false;
    }
    // Only one window system's context can be current in a thread: the editor's window
    // gives its context up while the offscreen one draws
    if (GLXContext current = glXGetCurrentContext()) {
        previousDisplay = glXGetCurrentDisplay();
        previousDraw = glXGetCurrentDrawable();
        previousRead = glXGetCurrentReadDrawable();
        previousContext = current;
        glXMakeContextCurrent((Display*)previousDisplay, None, None, nullptr);
    }

    auto getPlatformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!getPlatformDisplay) {
        *error = EglFailure("EGL cannot choose a platform");
        Destroy();
        return false;
    }
    display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        *error = EglFailure("the surfaceless EGL platform is missing");
        display = EGL_NO_DISPLAY;
        Destroy();
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = EglFailure("EGL offers no desktop OpenGL");
        Destroy();
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_NONE};
    EGLConfig chosen = nullptr;
    EGLint nconfigs = 0;
    if (!eglChooseConfig(display, configAttributes, &chosen, 1, &nconfigs) || nconfigs < 1) {
        *error = EglFailure("no 8-bit RGBA pixel buffer");
        Destroy();
        return false;
    }
    config = chosen;
    // A compatibility profile keeps the immediate-mode calls the drawing is made of
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(display, chosen, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        *error = EglFailure("no compatibility-profile context");
        Destroy();
        return false;
    }
    // The picture is drawn into framebuffer objects; the pixel buffer only makes the
    // context current
    const EGLint surfaceAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    surface = eglCreatePbufferSurface(display, chosen, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        *error = EglFailure("no pixel buffer");
        Destroy();
        return false;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        *error = EglFailure("the context cannot be made current");
        Destroy();
        return false;
    }
    if (!CreateBuffers(w, h, error)) {
        Destroy();
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool OffscreenGL::CreateBuffers(int w, int h, std::string* error) {
    GLint maxSize = 0, maxSamples = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    if (w > maxSize || h > maxSize) {
        char message[160];
        snprintf(message, sizeof message,
                 "a %dx%d picture is larger than this OpenGL can draw (at most %dx%d)", w, h,
                 maxSize, maxSize);
        *error = message;
        return false;
    }
    oversample =
        2LL * w <= maxSize && 2LL * h <= maxSize && 4LL * w * h <= kMostOversampledPixels ? 2 : 1;
    const int bw = w * oversample, bh = h * oversample;
    // Multisampling costs this OpenGL (llvmpipe) three times the drawing of plain wide lines,
    // oversampling less than twice: pictures too large to oversample are multisampled
    samples = oversample == 1 ? std::min(kSamples, maxSamples) : 0;
    if ((long long)bw * bh * 4 * samples > kMostMultisampleBytes) samples = 0;

    // Drawn into a large or a multisampled buffer; a multisampled one is resolved into a plain
    // one of the same size to read
    glGenFramebuffers(1, &drawFramebuffer);
    glGenRenderbuffers(1, &drawRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, drawRenderbuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, bw, bh);
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              drawRenderbuffer);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (samples > 0) {
        glGenFramebuffers(1, &readFramebuffer);
        glGenRenderbuffers(1, &readRenderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, readRenderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, bw, bh);
        glBindFramebuffer(GL_FRAMEBUFFER, readFramebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  readRenderbuffer);
        complete = complete && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
    if (!complete || glGetError() != GL_NO_ERROR) {
        char message[160];
        snprintf(message, sizeof message,
                 "a %dx%d picture does not fit in this OpenGL's memory; choose a smaller size", w,
                 h);
        *error = message;
        return false;
    }
    return true;
}

void OffscreenGL::Clear(bool transparent) {
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width * oversample, height * oversample);
    // Transparent is black with alpha 0: every sample holds a colour drawn opaque or nothing,
    // so what a pixel's samples average to is its colour premultiplied by its coverage,
    // which ReadPixels divides out
    if (transparent)
        glClearColor(0, 0, 0, 0);
    else
        glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void OffscreenGL::StartFrame(fRect world, int x, int y, int w, int h) {
    x *= oversample;
    y *= oversample;
    w *= oversample;
    h *= oversample;
    // GL counts rows from the bottom
    int glY = height * oversample - (y + h);
    glViewport(x, glY, w, h);
    // Wide lines may reach past the viewport; the scissor keeps each cell to itself
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, glY, w, h);
    float worldW = world.GetWidth(), worldH = world.GetHeight();
    float scale = 1;
    if (worldW > 0 && worldH > 0) scale = std::min((float)w / worldW, (float)h / worldH);
    float halfW = (float)w / scale / 2, halfH = (float)h / scale / 2;
    float cx = world.GetCenterX(), cy = world.GetCenterY();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // y down: the top of the world rectangle is the top row of the cell
    glOrtho(cx - halfW, cx + halfW, cy + halfH, cy - halfH, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Lines are as many buffer pixels wide per world unit as the picture is scaled, and at
    // least one pixel of the picture
    SetPictureDrawing(scale, (float)oversample);
    PenWidth(1);
}

void OffscreenGL::EndFrame() {
    glDisable(GL_SCISSOR_TEST);
    SetPictureDrawing(0);
}

void OffscreenGL::ReadPixels(unsigned char* rgba) {
    const int bw = width * oversample, bh = height * oversample;
    if (readFramebuffer) {
        // Multisampled: resolved into a plain buffer first
        glBindFramebuffer(GL_READ_FRAMEBUFFER, drawFramebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, readFramebuffer);
        glBlitFramebuffer(0, 0, bw, bh, 0, 0, bw, bh, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    buffer.resize((size_t)bw * (size_t)bh * 4);
    glReadPixels(0, 0, bw, bh, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
    if (oversample == 1) {
        // GL's rows run from the bottom
        size_t row = (size_t)width * 4;
        for (int y = 0; y < height; y++)
            std::copy(&buffer[(size_t)(height - 1 - y) * row],
                      &buffer[(size_t)(height - 1 - y) * row] + row, rgba + (size_t)y * row);
        Unpremultiply(rgba, (size_t)width * (size_t)height);
    } else {
        FilterDown(rgba);
    }
}

void OffscreenGL::FilterDown(unsigned char* rgba) {
    // The tent 1 3 3 1 over the 4 x 4 buffer pixels around each picture pixel's 2 x 2, one
    // direction at a time: up to 65 levels along an edge and less stair-stepping on shallow
    // lines than averaging the 2 x 2 alone. The outermost pixels repeat past the edges. Sums
    // are of premultiplied colours. White, the usual background, is passed over: each row is
    // filtered only across the span of picture pixels near something drawn.
    const int bw = width * 2, bh = height * 2;
    const uint16_t kWhiteAcross = 8 * 255;
    const uint64_t kWhite2 = ~0ull;  // two white buffer pixels
    across.resize((size_t)width * (size_t)bh * 4);
    spans.resize((size_t)bh);
    for (int by = 0; by < bh; by++) {
        const unsigned char* in = &buffer[(size_t)(bh - 1 - by) * (size_t)bw * 4];  // top down
        // The first and last pair of buffer pixels that are not both white
        int lo = 0, hi = bw / 2 - 1;
        uint64_t pair;
        while (lo <= hi && (memcpy(&pair, in + (size_t)lo * 8, 8), pair == kWhite2)) lo++;
        while (hi >= lo && (memcpy(&pair, in + (size_t)hi * 8, 8), pair == kWhite2)) hi--;
        // Picture pixels whose four taps reach buffer pixels 2 lo .. 2 hi + 1
        Span& span = spans[(size_t)by];
        span.lo = std::max(0, lo - 1);
        span.hi = std::min(width - 1, hi + 1);
        uint16_t* out = &across[((size_t)by * (size_t)width + (size_t)span.lo) * 4];
        for (int x = span.lo; x <= span.hi; x++, out += 4) {
            const unsigned char* p0 = in + (size_t)std::max(0, 2 * x - 1) * 4;
            const unsigned char* p1 = in + (size_t)(2 * x) * 4;
            const unsigned char* p2 = p1 + 4;
            const unsigned char* p3 = in + (size_t)std::min(bw - 1, 2 * x + 2) * 4;
            for (int c = 0; c < 4; c++) out[c] = (uint16_t)(p0[c] + 3u * (p1[c] + p2[c]) + p3[c]);
        }
    }
    const uint16_t kWhite[4] = {kWhiteAcross, kWhiteAcross, kWhiteAcross, kWhiteAcross};
    for (int y = 0; y < height; y++) {
        const uint16_t* r[4];
        const Span* rowSpans[4];
        int lo = width, hi = -1;
        for (int t = 0; t < 4; t++) {
            size_t by = (size_t)std::min(bh - 1, std::max(0, 2 * y - 1 + t));
            r[t] = &across[by * (size_t)width * 4];
            rowSpans[t] = &spans[by];
            lo = std::min(lo, spans[by].lo);
            hi = std::max(hi, spans[by].hi);
        }
        unsigned char* row = rgba + (size_t)y * (size_t)width * 4;
        if (hi < lo) {
            memset(row, 255, (size_t)width * 4);
            continue;
        }
        memset(row, 255, (size_t)lo * 4);
        memset(row + (size_t)(hi + 1) * 4, 255, (size_t)(width - 1 - hi) * 4);
        unsigned char* out = row + (size_t)lo * 4;
        for (int x = lo; x <= hi; x++, out += 4) {
            const uint16_t* q[4];
            for (int t = 0; t < 4; t++)
                q[t] = x >= rowSpans[t]->lo && x <= rowSpans[t]->hi ? r[t] + (size_t)x * 4 : kWhite;
            unsigned sum[4];
            for (int c = 0; c < 4; c++) sum[c] = q[0][c] + 3u * (q[1][c] + q[2][c]) + q[3][c];
            unsigned alpha = sum[3];  // 0 .. 64 * 255
            if (alpha == 64 * 255) {
                for (int c = 0; c < 3; c++) out[c] = (unsigned char)((sum[c] + 32) / 64);
                out[3] = 255;
            } else if (alpha == 0) {
                out[0] = out[1] = out[2] = 255;
                out[3] = 0;
            } else {
                for (int c = 0; c < 3; c++)
                    out[c] = (unsigned char)std::min(255u, (sum[c] * 255 + alpha / 2) / alpha);
                out[3] = (unsigned char)((alpha + 32) / 64);
            }
        }
    }
}
