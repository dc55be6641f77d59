#include "app/MainUnit.h"

int main() { return RunProgram(); }
