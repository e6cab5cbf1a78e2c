#include "shell/startup.h"

int main() { return Mod_Main(); }
