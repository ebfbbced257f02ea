#include "GLTestContext.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<GLTestContext> theContext;

// Finishes the context's work and closes it when the test run ends, before the program
// exits. The software GL driver compiles drawing with a code generator whose own statics,
// made on first use during the tests, are destroyed at exit before the toolkit's exit
// handler closes the display; drawing still queued then (the last test's) would be
// compiled with them gone, which crashes or hangs the process.
class CloseAtEndOfRun : public ::testing::Environment {
public:
    explicit CloseAtEndOfRun(int w) : window(w) {}
    void TearDown() override {
        if (!window) return;
        glFinish();
        glutDestroyWindow(window);
        window = 0;
        // Closes the display now; the toolkit's exit handler then finds nothing to do
        glutExit();
        // A repeated run opens a new context
        theContext.reset();
    }

private:
    int window;
};

}  // namespace

bool GLTestContext::Available() {
    const char* d = getenv("DISPLAY");
    return d && *d;
}

GLTestContext& GLTestContext::Get(int width, int height) {
    if (!theContext) theContext.reset(new GLTestContext(width, height));
    return *theContext;
}

GLTestContext::GLTestContext(int w, int h) : width(w), height(h) {
    static char arg0[] = "velko-test";
    static char* argv[] = {arg0, nullptr};
    int argc = 1;
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(w, h);
    glutInit(&argc, argv);
    int window = glutCreateWindow("");
    ::testing::AddGlobalTestEnvironment(new CloseAtEndOfRun(window));
    glutDisplayFunc([] {});
    // Let the window be mapped so the whole back buffer belongs to it
    for (int i = 0; i < 20; i++) glutMainLoopEvent();
    glViewport(0, 0, w, h);
}

void GLTestContext::BeginFrame() {
    glClearColor(1, 1, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0, 0, 0);
    glLineWidth(1);
    glPointSize(1);
}

RGB8 GLTestContext::Pixel(int x, int y) {
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    unsigned char p[3] = {0, 0, 0};
    // GL rows count from the bottom
    glReadPixels(x, height - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return RGB8{p[0], p[1], p[2]};
}

int GLTestContext::CountPixels(int x0, int y0, int x1, int y1, RGB8 colour) {
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<unsigned char> buf((size_t)width * height * 3);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, buf.data());
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            if (x < 0 || y < 0 || x >= width || y >= height) continue;
            const unsigned char* p = &buf[((size_t)(height - 1 - y) * width + x) * 3];
            if (p[0] == colour.r && p[1] == colour.g && p[2] == colour.b) n++;
        }
    return n;
}

std::vector<FeedbackPrimitive> GLTestContext::Capture(const std::function<void()>& draw) {
    std::vector<GLfloat> buf(1 << 20);
    glFeedbackBuffer((GLsizei)buf.size(), GL_2D, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    std::vector<FeedbackPrimitive> out;
    auto vertex = [&](GLint& i) {
        fPoint2 p(buf[i], (float)height - buf[i + 1]);
        i += 2;
        return p;
    };
    for (GLint i = 0; i < n;) {
        GLint token = (GLint)buf[i++];
        FeedbackPrimitive prim;
        switch (token) {
            case GL_POINT_TOKEN:
                prim.kind = FeedbackPrimitive::point;
                prim.vertices.push_back(vertex(i));
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                prim.kind = FeedbackPrimitive::line;
                prim.vertices.push_back(vertex(i));
                prim.vertices.push_back(vertex(i));
                break;
            case GL_POLYGON_TOKEN: {
                prim.kind = FeedbackPrimitive::polygon;
                GLint count = (GLint)buf[i++];
                for (GLint k = 0; k < count; k++) prim.vertices.push_back(vertex(i));
                break;
            }
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                prim.kind =
                    token == GL_BITMAP_TOKEN ? FeedbackPrimitive::bitmap : FeedbackPrimitive::other;
                prim.vertices.push_back(vertex(i));
                break;
            case GL_PASS_THROUGH_TOKEN:
                prim.kind = FeedbackPrimitive::other;
                i++;
                break;
            default:
                ADD_FAILURE() << "unknown feedback token " << token;
                return out;
        }
        out.push_back(prim);
    }
    return out;
}

bool GLTestContext::Save(const std::string& path) {
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<unsigned char> buf((size_t)width * height * 3);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, buf.data());
    std::string ppm = path + ".ppm";
    FILE* f = fopen(ppm.c_str(), "wb");
    if (!f) return false;
    fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; y--) fwrite(&buf[(size_t)y * width * 3], 1, width * 3, f);
    fclose(f);
    std::string cmd = "convert '" + ppm + "' '" + path + "' 2>/dev/null && rm -f '" + ppm + "'";
    return system(cmd.c_str()) == 0;
}
