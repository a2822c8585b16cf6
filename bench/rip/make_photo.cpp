// Writes a photo-like test picture of any size: fractal surfaces for light, colour and
// texture, a sky gradient and a horizon, as a JPEG. Usage: rphoto_make_photo OUT.jpg W H
#include <vips/vips8>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4 || VIPS_INIT(argv[0])) {
        std::fprintf(stderr, "usage: rphoto_make_photo OUT.jpg WIDTH HEIGHT\n");
        return 2;
    }
    using vips::VImage;
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
    // Fractal surfaces at a quarter size, enlarged: smooth shapes with fine detail added back.
    auto surface = [&](double dim) {
        VImage s = VImage::fractsurf(w / 4, h / 4, dim).resize(4.0, VImage::option()->set("kernel", VIPS_KERNEL_CUBIC));
        return s.embed(0, 0, w, h, VImage::option()->set("extend", VIPS_EXTEND_COPY));
    };
    const VImage light = surface(2.3), hue = surface(2.1);
    const VImage grain = VImage::gaussnoise(w, h, VImage::option()->set("sigma", 6.0));
    const VImage sky = VImage::xyz(w, h)[1] * (1.0 / h);  // 0 at the top, 1 at the bottom
    const VImage horizon = (sky > 0.45).ifthenelse(1.0, 0.0);
    VImage r = (light * 40 + 120 + hue * 30) * horizon + (sky * 180 + 60) * (1 - horizon) + grain;
    VImage g = (light * 45 + 110 - hue * 10) * horizon + (sky * 150 + 100) * (1 - horizon) + grain;
    VImage b = (light * 30 + 70 - hue * 30) * horizon + (sky * 60 + 190) * (1 - horizon) + grain;
    VImage rgb = r.bandjoin(g).bandjoin(b).cast(VIPS_FORMAT_UCHAR).copy(
        VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    rgb.write_to_file(argv[1], VImage::option()->set("Q", 90));
    return 0;
}
