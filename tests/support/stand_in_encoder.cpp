// A stand-in for ffmpeg.exe in the Windows checks (Debian has no Windows ffmpeg): copies the raw
// frames from its input into the file named by its last argument and exits 0. With
// TARNELVOIS_STAND_IN_FAIL set it reads a little, complains on stderr and exits 3, as an encoder
// that breaks mid-run would.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    _setmode(_fileno(stdin), _O_BINARY);
    static char buffer[1 << 16];
    if (std::getenv("TARNELVOIS_STAND_IN_FAIL")) {
        (void)std::fread(buffer, 1, sizeof buffer, stdin);
        std::fprintf(stderr, "stand-in encoder: failing as asked\n");
        return 3;
    }
    std::FILE* output = std::fopen(argv[argc - 1], "wb");
    if (!output) return 1;
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        if (std::fwrite(buffer, 1, got, output) != got) return 1;
    }
    return std::fclose(output) == 0 ? 0 : 1;
}
