#include "acquisition/DisplayMirror.h"

DisplayMirror Mirror;
