/* The tag library for C programs and foreign-function interfaces (Python's ctypes and the like).
   Link with libvextag (pkg-config vextag). Nothing is kept between calls: each call opens the
   file, does its work and closes it. */
#pragma once

#include <vextag/export.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The six values of a tag as UTF-8 text, each NUL-terminated: 30 ISO-8859-1 characters take at
   most 60 bytes. A field that holds a NUL byte ends there in C. */
typedef struct vextag_values {
    char song[61];
    char artist[61];
    char album[61];
    char year[9];
    char comment[61];
    char genre[64];
} vextag_values;

/* Reads the tag of `path` into `out`, without leading and trailing spaces when `trim` is not 0.
   A missing file, anything but a regular file, a file of 150 bytes or less and a file without a
   tag give six empty values. Returns 0, or minus errno on a file-system failure (or -EINVAL
   for a NULL argument), and then leaves `out` as it was. */
VEXTAG_API int vextag_read_file(const char* path, int trim, vextag_values* out);

/* Writes `values` over the tag of `path`, or appends a new tag when it has none. Each text is
   cut or space-filled to its field's width; a character ISO-8859-1 lacks is written as '?'; a
   genre that is not a name of the table (exactly, letter case counting) is written as 255. A
   missing file or one of 150 bytes or less is left alone. Returns 0, or minus errno on a
   file-system failure (or -EINVAL for a NULL argument); a failed write may leave part of it. */
VEXTAG_API int vextag_save_file(const char* path, const vextag_values* values);

/* The genre name of a tag's genre code; the empty text for 84, for 126-255 and for any code
   outside 0-255. The text is the library's own and lives as long as the library is loaded. */
VEXTAG_API const char* vextag_genre_name(int code);

/* The genre code written for `name`: its code when it is a name of the table (exactly, letter
   case counting), else 255. */
VEXTAG_API int vextag_genre_code(const char* name);

/* The library's version, "1.0.8". */
VEXTAG_API const char* vextag_version(void);

#ifdef __cplusplus
}
#endif
