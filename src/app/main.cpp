#include "app/application.h"

int main(int argc, char** argv) { return velmar::runApplication(argc, argv); }
