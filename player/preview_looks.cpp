#include "player/preview_looks.h"

std::string previewLookGraph(int filter) {
    for (const PreviewLook& look : previewLooks) {
        if (look.filter == filter) return look.graph;
    }
    return "";
}
