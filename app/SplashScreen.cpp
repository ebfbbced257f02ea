#include "SplashScreen.h"

#include "utils.h"

SplashScreen::SplashScreen(const char* app, const char* author, App* _shell) : shell(_shell) {
    authorString[0] = 0;
    appString[0] = 0;
    copyrightString[0] = 0;
    strcpymax(authorString, author, sizeof authorString);
    strcpymax(appString, app, sizeof appString);
}

void SplashScreen::SetCopyrightString(const char* str) {
    strcpymax(copyrightString, str, sizeof copyrightString);
}
