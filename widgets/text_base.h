#pragma once
// A line of text rendered once into a texture and copied to the window every frame. The
// texture is rebuilt only when the text changes, never per frame.
#include <SDL.h>
#include <SDL_ttf.h>

#include <glm/vec2.hpp>
#include <memory>
#include <string>

class TextBase {
public:
    TTF_Font* font = nullptr;          // not owned: the creator closes it
    SDL_Renderer* renderer = nullptr;  // not owned
    SDL_Texture* texture = nullptr;    // owned
    SDL_Rect rect{0, 0, 0, 0};         // x, y: top-left in window pixels; w, h: rendered size
    SDL_Color color{0, 0, 0, 0};
    std::string text;                  // UTF-8

    // Builds the texture at once. A font that is missing or cannot render the text leaves
    // the text without a texture and 0 x 0 in size; it then draws nothing.
    TextBase(TTF_Font* font, SDL_Renderer* renderer, SDL_Color color, std::string text,
             glm::ivec2 position);
    virtual ~TextBase();
    TextBase(const TextBase&) = delete;
    TextBase& operator=(const TextBase&) = delete;

    static std::shared_ptr<TextBase> create(TTF_Font* font, SDL_Renderer* renderer,
                                            SDL_Color color, std::string text,
                                            glm::ivec2 position);

    // Moves the text; its size and texture stay.
    virtual void setPosition(glm::ivec2 position);

    // Replaces the text and rebuilds the texture; position and colour stay, the size follows
    // the new text. An empty text renders one space, so it still has a height to lay out by.
    void setText(const std::string& newText);

    // Copies the texture to `rect` on the text's own renderer (no scaling).
    void draw() const;

private:
    void rebuildTexture();
};

// A label; owners hold labels by this type.
class pureText : public TextBase {
public:
    using TextBase::TextBase;
    static std::shared_ptr<pureText> create(TTF_Font* font, SDL_Renderer* renderer,
                                            SDL_Color color, std::string text,
                                            glm::ivec2 position);
};
