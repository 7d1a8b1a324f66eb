#pragma once
// One place that pulls in the GL loader before anything else that touches GL.
#include <GL/glew.h>
