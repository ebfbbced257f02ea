#include "OffscreenGL.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::string EglFailure(const char* what) {
    char code[16];
    snprintf(code, sizeof code, "0x%04x", (unsigned)eglGetError());
    return std::string("no offscreen OpenGL: ") + what + " (EGL error " + code + ")";
}

}  // namespace

OffscreenGL::OffscreenGL()
    : display(EGL_NO_DISPLAY),
      config(nullptr),
      context(EGL_NO_CONTEXT),
      surface(EGL_NO_SURFACE),
      width(0),
      height(0),
      previousDisplay(nullptr),
      previousDraw(0),
      previousRead(0),
      previousContext(nullptr) {}

OffscreenGL::~OffscreenGL() { Destroy(); }

void OffscreenGL::Destroy() {
    if (display != EGL_NO_DISPLAY) {
        if (context != EGL_NO_CONTEXT) glFinish();
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
        if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
        eglTerminate(display);
        eglReleaseThread();
    }
    display = EGL_NO_DISPLAY;
    context = EGL_NO_CONTEXT;
    surface = EGL_NO_SURFACE;
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
    EGLint maxWidth = 0, maxHeight = 0;
    eglGetConfigAttrib(display, chosen, EGL_MAX_PBUFFER_WIDTH, &maxWidth);
    eglGetConfigAttrib(display, chosen, EGL_MAX_PBUFFER_HEIGHT, &maxHeight);
    if ((maxWidth > 0 && w > maxWidth) || (maxHeight > 0 && h > maxHeight)) {
        char message[160];
        snprintf(message, sizeof message,
                 "a %dx%d picture is larger than this OpenGL can draw (at most %dx%d)", w, h,
                 maxWidth, maxHeight);
        *error = message;
        Destroy();
        return false;
    }
    // A compatibility profile keeps the immediate-mode calls the drawing is made of
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(display, chosen, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        *error = EglFailure("no compatibility-profile context");
        Destroy();
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    surface = eglCreatePbufferSurface(display, chosen, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        *error = EglFailure("no pixel buffer of that size");
        Destroy();
        return false;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        *error = EglFailure("the context cannot be made current");
        Destroy();
        return false;
    }
    width = w;
    height = h;
    return true;
}

void OffscreenGL::Clear(bool transparent) {
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
    glClearColor(1, 1, 1, transparent ? 0 : 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void OffscreenGL::StartFrame(fRect world, int x, int y, int w, int h) {
    // GL counts rows from the bottom
    int glY = height - (y + h);
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
}

void OffscreenGL::EndFrame() { glDisable(GL_SCISSOR_TEST); }

void OffscreenGL::ReadPixels(unsigned char* rgba) {
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    size_t row = (size_t)width * 4;
    std::vector<unsigned char> flipped(row * (size_t)height);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, flipped.data());
    for (int y = 0; y < height; y++)
        std::copy(&flipped[(size_t)(height - 1 - y) * row],
                  &flipped[(size_t)(height - 1 - y) * row] + row, rgba + (size_t)y * row);
}
