/* consumer.c: a program of someone else's that uses an installed libonymix
 * through onymix.h alone. Checks the first 1,000 names of a golden sequence
 * and one Generate, and prints what it found.
 *
 *   consumer GOLDEN_DIR */
#include <onymix.h>

#include <stdio.h>
#include <string.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: consumer GOLDEN_DIR\n");
        return 2;
    }
    char path[1024];
    snprintf(path, sizeof path, "%s/sequence-6-43200.txt", argv[1]);
    FILE *golden = fopen(path, "r");
    if (!golden) {
        fprintf(stderr, "consumer: cannot read %s\n", path);
        return 1;
    }
    onymix_generator *g = onymix_open(ONYMIX_ANY_SURNAME, 43200, 0);
    if (!g) {
        fprintf(stderr, "consumer: onymix_open gave NULL\n");
        return 1;
    }
    int matched = 0;
    char expected[64], name[32];
    while (fgets(expected, sizeof expected, golden)) {
        expected[strcspn(expected, "\r\n")] = '\0';
        if (onymix_next(g, name, sizeof name) < 0 || strcmp(name, expected) != 0) {
            fprintf(stderr, "consumer: name %d: expected \"%s\", came \"%s\"\n", matched + 1,
                    expected, name);
            break;
        }
        matched++;
    }
    onymix_close(g);
    fclose(golden);
    onymix_generate(ONYMIX_MALE_SURNAME, 0, name, sizeof name);
    printf("consumer: onymix %s, %d golden names, second 0 gives %s\n", onymix_version(), matched,
           name);
    return matched == 1000 && strcmp(name, "Emmitt Verhagen") == 0 ? 0 : 1;
}
