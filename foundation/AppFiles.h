// AppFiles: the platform's document-choosing service. This program's platform offers none,
// so Get() returns null and callers disable or skip their file commands.
#pragma once

#include <cstdio>

class AppFiles {
public:
    static AppFiles* Get();

    virtual ~AppFiles() {}
    // Lets the user pick an existing document and opens it with the fopen mode; null = cancelled
    virtual FILE* ChooseFileToOpen(const char* mode) = 0;
    // Lets the user name a document to write and opens it with the fopen mode; null = cancelled
    virtual FILE* ChooseFileToSave(const char* mode) = 0;

    // Installs a service for Get() to return (null removes it); used by shells that offer one
    // and by tests
    static void Install(AppFiles* files);
};
