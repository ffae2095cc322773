#pragma once
// One glyph of an icon font rendered into a texture, drawn by its owner like a text.
#include <SDL.h>
#include <SDL_ttf.h>

#include <glm/vec2.hpp>
#include <memory>

class iconText {
public:
    Uint16 codePoint = 0;              // one UTF-16 unit of the icon font
    TTF_Font* font = nullptr;          // not owned
    SDL_Renderer* renderer = nullptr;  // not owned
    SDL_Texture* texture = nullptr;    // owned
    SDL_Rect rect{0, 0, 0, 0};         // x, y: position; w, h: rendered glyph size
    SDL_Color color{0, 0, 0, 0};

    // Builds the texture at once; a missing font leaves no texture and a 0 x 0 size.
    iconText(TTF_Font* font, Uint16 codePoint, SDL_Renderer* renderer, SDL_Color color,
             glm::ivec2 position);
    virtual ~iconText();
    iconText(const iconText&) = delete;
    iconText& operator=(const iconText&) = delete;

    static std::shared_ptr<iconText> create(TTF_Font* font, Uint16 codePoint,
                                            SDL_Renderer* renderer, SDL_Color color,
                                            glm::ivec2 position);

    virtual void setPosition(glm::ivec2 position);

    // Re-renders the glyph with another font (a font variant chosen for the window size);
    // the position stays.
    void setFont(TTF_Font* newFont);

    void draw() const;

private:
    void rebuildTexture();
};
