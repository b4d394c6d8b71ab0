#include "varnel_cli.h"

int main(int argc, char** argv) {
  return VarnelMain(argc, argv);
}
