#include "printer-app/NozzleCheck.h"

namespace printerapp {

std::vector<JobPlane> NozzleCheckPlanes(const NozzleCheck& c, const std::vector<int>& inks)
{
    constexpr int kBits = 2, kLargestDot = 3;
    const int block = c.steps * c.dashWidth + c.inkGap;
    const int width = static_cast<int>(inks.size()) * block;
    const int height = c.nozzles * c.interleave;
    std::vector<JobPlane> planes;
    for (size_t i = 0; i < inks.size(); ++i) {
        JobPlane p;
        p.color = inks[i];
        p.width = width;
        p.height = height;
        p.rowBytes = (width * kBits + 7) / 8;
        p.packed.assign(static_cast<size_t>(p.rowBytes) * static_cast<size_t>(height), 0);
        for (int n = 0; n < c.nozzles; ++n) {
            uint8_t* row = p.packed.data() + static_cast<size_t>(n * c.interleave) * static_cast<size_t>(p.rowBytes);
            const int x0 = static_cast<int>(i) * block + (n % c.steps) * c.dashWidth;
            for (int x = x0; x < x0 + c.dashWidth; ++x)
                row[x / 4] = static_cast<uint8_t>(row[x / 4] | (kLargestDot << (6 - (x % 4) * kBits)));
        }
        planes.push_back(std::move(p));
    }
    return planes;
}

}  // namespace printerapp
