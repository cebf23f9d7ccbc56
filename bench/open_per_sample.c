/* The baseline for the Linux sensor: the way older monitors read it, opening,
   reading and closing the position file for every sample. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv) {
  long count;
  long i;
  int x = 0;
  int y = 0;
  if (argc < 3) return 2;
  count = atol(argv[2]);
  for (i = 0; i < count; ++i) {
    char text[64];
    ssize_t length = -1;
    int fd = open(argv[1], O_RDONLY);
    if (fd >= 0) {
      length = read(fd, text, sizeof text - 1);
      close(fd);
    }
    if (length > 0) {
      text[length] = '\0';
      sscanf(text, "(%d,%d)", &x, &y);
    }
    printf("%d, %d\n", x - 640, y - 640);
  }
  return 0;
}
