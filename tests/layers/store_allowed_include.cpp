// Compiled as the store is compiled: the store may use the application folder.
#include "folder/app_folder.h"
#include "store/collection.h"
