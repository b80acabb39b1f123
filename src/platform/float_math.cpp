// The single-precision sine and cosine the effects call, the same on every system: rounded from
// double precision. The C libraries' own sinf, cosf and sincosf differ in the last bit now and then
// (glibc's are not correctly rounded, mingw-w64's differently so), which moves a vertex of the
// lattice by a pixel, and a Windows frame would not be the Linux frame. The link routes every
// call of the program's to these (cmake/float_math.cmake).
#include <cmath>

extern "C" {

float __wrap_sinf(float x) { return float(std::sin(double(x))); }
float __wrap_cosf(float x) { return float(std::cos(double(x))); }
void __wrap_sincosf(float x, float* sine, float* cosine)
{
    *sine = float(std::sin(double(x)));
    *cosine = float(std::cos(double(x)));
}

}
