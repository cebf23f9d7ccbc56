/* The baseline for throughput: the same lines through printf. */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  long count;
  int x;
  int y;
  long i;
  if (argc < 4) return 2;
  count = atol(argv[1]);
  x = atoi(argv[2]);
  y = atoi(argv[3]);
  for (i = 0; i < count; ++i) printf("%d, %d\n", x, y);
  return 0;
}
