/* A C program on the installed library: prints the tag of FILE as "song|artist|album|year|genre|
   comment", saves it into COPY with the song, the genre and the comment changed (the comment
   filling its array without a NUL), then prints the version, genre codes and names, and what a
   missing file and a file-system failure give. */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <vextag/vextag_c.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: tag_host FILE COPY\n");
        return 2;
    }
    vextag_values values;
    int result = vextag_read_file(argv[1], 1, &values);
    if (result != 0) {
        fprintf(stderr, "read %s: %s\n", argv[1], strerror(-result));
        return 1;
    }
    printf("%s|%s|%s|%s|%s|%s\n", values.song, values.artist, values.album, values.year, values.genre,
           values.comment);

    strcpy(values.song, "Written in C");
    strcpy(values.genre, vextag_genre_name(85));
    memset(values.comment, 'z', sizeof values.comment);
    result = vextag_save_file(argv[2], &values);
    if (result != 0) {
        fprintf(stderr, "save %s: %s\n", argv[2], strerror(-result));
        return 1;
    }

    printf("%s %d %d '%s' '%s'\n", vextag_version(), vextag_genre_code("Bebob"), vextag_genre_code("bebob"),
           vextag_genre_name(84), vextag_genre_name(300));

    /* A missing file reads as empty values; a name too long for the file system fails and
       leaves the values as they were. */
    char tooLong[300];
    memset(tooLong, 'x', sizeof tooLong - 1);
    tooLong[sizeof tooLong - 1] = '\0';
    result = vextag_read_file(tooLong, 1, &values);
    printf("%d %s|", result == -ENAMETOOLONG, values.song);
    result = vextag_read_file("/nonexistent/song.mp3", 1, &values);
    printf("%d %s|%s|%s|%s|%s|%s\n", result, values.song, values.artist, values.album, values.year, values.genre,
           values.comment);
    return 0;
}
