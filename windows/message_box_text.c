/* Test tool of scripts/test-windows.sh: prints the text of the message box
 * (a dialog of class #32770) with the given caption, from its static
 * controls, one line each; exit status 1 when there is no such box. */
#include <stdio.h>
#include <windows.h>

static BOOL CALLBACK PrintStatic(HWND child, LPARAM found) {
  char className[16];
  char text[4096];
  if (GetClassNameA(child, className, sizeof className) && lstrcmpiA(className, "Static") == 0 &&
      GetWindowTextA(child, text, sizeof text) > 0) {
    printf("%s\n", text);
    *(int*)found = 1;
  }
  return TRUE;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: message_box_text CAPTION\n");
    return 2;
  }
  const HWND box = FindWindowA("#32770", argv[1]);
  if (box == NULL) return 1;
  int found = 0;
  EnumChildWindows(box, PrintStatic, (LPARAM)&found);
  return found ? 0 : 1;
}
