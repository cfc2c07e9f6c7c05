/* Forced into every C file of libxlsxwriter when it is built for Windows with
 * MinGW-w64 (scripts/build-windows-xlsxwriter). There the library opens its
 * workbook and temporary files with the narrow fopen()/_open(), which read a
 * name in the ANSI code page: a UTF-8 name with letters outside it would name
 * another file or none. These take the name as UTF-8 and open it through the
 * wide API, as the rest of the program does. */
#ifndef MORVASK_XLSXWRITER_WIDE_PATHS_H
#define MORVASK_XLSXWRITER_WIDE_PATHS_H

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

/* UTF-8 to UTF-16, without windows.h (its SLIST_ENTRY clashes with the
 * library's queue.h). NULL when the bytes are not UTF-8; free() the result. */
static inline wchar_t* morvask_wide_path(const char* utf8)
{
    size_t length = 0;
    while (utf8[length] != '\0')
        ++length;
    wchar_t* wide = (wchar_t*)malloc((length + 1) * sizeof(wchar_t));
    if (wide == NULL)
        return NULL;
    size_t out = 0;
    for (size_t i = 0; i < length;) {
        const unsigned char c = (unsigned char)utf8[i];
        unsigned long code;
        size_t more;
        if (c < 0x80) {
            code = c;
            more = 0;
        } else if ((c & 0xE0) == 0xC0) {
            code = c & 0x1F;
            more = 1;
        } else if ((c & 0xF0) == 0xE0) {
            code = c & 0x0F;
            more = 2;
        } else if ((c & 0xF8) == 0xF0) {
            code = c & 0x07;
            more = 3;
        } else {
            free(wide);
            return NULL;
        }
        /* A cut sequence meets the terminating NUL, which is no continuation byte. */
        for (size_t k = 1; k <= more; ++k) {
            const unsigned char next = (unsigned char)utf8[i + k];
            if ((next & 0xC0) != 0x80) {
                free(wide);
                return NULL;
            }
            code = (code << 6) | (next & 0x3F);
        }
        i += more + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            wide[out++] = (wchar_t)(0xD800 + (code >> 10));
            wide[out++] = (wchar_t)(0xDC00 + (code & 0x3FF));
        } else {
            wide[out++] = (wchar_t)code;
        }
    }
    wide[out] = L'\0';
    return wide;
}

static inline FILE* morvask_fopen_utf8(const char* name, const char* mode)
{
    wchar_t* wideName = morvask_wide_path(name);
    wchar_t* wideMode = morvask_wide_path(mode);
    FILE* file = NULL;
    if (wideName != NULL && wideMode != NULL)
        file = _wfopen(wideName, wideMode);
    free(wideName);
    free(wideMode);
    return file;
}

static inline int morvask_open_utf8(const char* name, int flags, int mode)
{
    wchar_t* wideName = morvask_wide_path(name);
    int fd = -1;
    if (wideName != NULL)
        fd = _wopen(wideName, flags, mode);
    free(wideName);
    return fd;
}

#define fopen(name, mode) morvask_fopen_utf8(name, mode)
#define fopen64(name, mode) morvask_fopen_utf8(name, mode)
#define _open(name, flags, mode) morvask_open_utf8(name, flags, mode)

#endif
