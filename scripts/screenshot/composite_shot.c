/* A screenshot that shows the OpenGL view as rendered. Under Wine the 3D
   view's OpenGL child has an X window of its own, redirected with the X
   Composite extension, so the root window shows only the view's class
   background there. This reads that window's composite pixmap and pastes it
   at the view's screen rectangle; top-level windows stacked above the editor
   (dialogs, menus) are kept as the root shows them.
   Usage: composite_shot OUT.ppm X Y WIDTH HEIGHT TITLE-PREFIX
   Prints which X window gave the frame; exit code 1 when none did. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int g_failed;

static int NoteError(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    g_failed = 1;
    return 0;
}

typedef struct {
    Window* items;
    int count, capacity;
} WindowList;

static void Push(WindowList* list, Window window)
{
    if (list->count == list->capacity) {
        list->capacity = list->capacity ? list->capacity * 2 : 64;
        list->items = realloc(list->items, sizeof(Window) * list->capacity);
    }
    list->items[list->count++] = window;
}

/* Every viewable window of the given size below window, deepest last. */
static void CollectSized(Display* display, Window window, int width, int height, WindowList* found)
{
    Window root, parent, *children = NULL;
    unsigned int count = 0;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
        attributes.class == InputOutput && attributes.width == width && attributes.height == height)
        Push(found, window);
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; ++i)
        CollectSized(display, children[i], width, height, found);
    if (children)
        XFree(children);
}

/* The window's contents through its composite pixmap, or NULL. */
static XImage* CompositeImage(Display* display, Window window, int width, int height)
{
    g_failed = 0;
    Pixmap pixmap = XCompositeNameWindowPixmap(display, window);
    XSync(display, False);
    if (g_failed)
        return NULL;
    XImage* image = XGetImage(display, pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
    XSync(display, False);
    XFreePixmap(display, pixmap);
    XSync(display, False);
    if (g_failed && image) {
        XDestroyImage(image);
        return NULL;
    }
    return image;
}

static int HasTitlePrefix(Display* display, Window window, const char* prefix)
{
    char* name = NULL;
    int match = XFetchName(display, window, &name) && name && strncmp(name, prefix, strlen(prefix)) == 0;
    if (name)
        XFree(name);
    return match;
}

/* Copies the parts of the view's rectangle that top-level windows stacked
   above the editor cover back from the root screenshot. */
static void KeepWindowsAbove(Display* display, Window root, const char* prefix, XImage* screen, XImage* shot,
                             int x, int y, int width, int height)
{
    Window unused, *children = NULL;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &unused, &unused, &children, &count))
        return;
    int above = 0;
    for (unsigned int i = 0; i < count; ++i) {   /* bottom to top */
        if (!above) {
            above = HasTitlePrefix(display, children[i], prefix);
            continue;
        }
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, children[i], &a) || a.map_state != IsViewable || a.class != InputOutput ||
            a.width <= 1 || a.height <= 1)
            continue;
        int left = a.x > x ? a.x : x, top = a.y > y ? a.y : y;
        int right = a.x + a.width < x + width ? a.x + a.width : x + width;
        int bottom = a.y + a.height < y + height ? a.y + a.height : y + height;
        for (int py = top; py < bottom; ++py)
            for (int px = left; px < right; ++px)
                XPutPixel(shot, px, py, XGetPixel(screen, px, py));
    }
    if (children)
        XFree(children);
}

static int WritePpm(const char* path, XImage* image, Visual* visual)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return 0;
    fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
    unsigned long masks[3] = {visual->red_mask, visual->green_mask, visual->blue_mask};
    int shifts[3];
    for (int c = 0; c < 3; ++c) {
        shifts[c] = 0;
        while (masks[c] && !((masks[c] >> shifts[c]) & 1))
            ++shifts[c];
    }
    for (int py = 0; py < image->height; ++py) {
        for (int px = 0; px < image->width; ++px) {
            unsigned long pixel = XGetPixel(image, px, py);
            for (int c = 0; c < 3; ++c) {
                unsigned long value = (pixel & masks[c]) >> shifts[c];
                unsigned long top = masks[c] >> shifts[c];
                fputc(top ? (int)(value * 255 / top) : 0, file);
            }
        }
    }
    return fclose(file) == 0;
}

int main(int argc, char** argv)
{
    if (argc != 7) {
        fprintf(stderr, "usage: %s OUT.ppm X Y WIDTH HEIGHT TITLE-PREFIX\n", argv[0]);
        return 2;
    }
    int x = atoi(argv[2]), y = atoi(argv[3]), width = atoi(argv[4]), height = atoi(argv[5]);
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    int eventBase, errorBase;
    if (!XCompositeQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "the X server has no Composite extension\n");
        return 1;
    }
    XSetErrorHandler(NoteError);
    Window root = DefaultRootWindow(display);
    XWindowAttributes rootAttributes;
    XGetWindowAttributes(display, root, &rootAttributes);
    XImage* screen = XGetImage(display, root, 0, 0, rootAttributes.width, rootAttributes.height, AllPlanes, ZPixmap);
    XImage* shot = XGetImage(display, root, 0, 0, rootAttributes.width, rootAttributes.height, AllPlanes, ZPixmap);
    if (!screen || !shot) {
        fprintf(stderr, "cannot read the root window\n");
        return 1;
    }

    WindowList candidates = {NULL, 0, 0};
    CollectSized(display, root, width, height, &candidates);
    XImage* frame = NULL;
    Window source = 0;
    for (int i = candidates.count - 1; i >= 0 && !frame; --i) {
        frame = CompositeImage(display, candidates.items[i], width, height);
        source = candidates.items[i];
    }
    if (!frame) {
        fprintf(stderr, "no %dx%d window gave its composite pixmap\n", width, height);
        return 1;
    }
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px)
            if (x + px >= 0 && y + py >= 0 && x + px < shot->width && y + py < shot->height)
                XPutPixel(shot, x + px, y + py, XGetPixel(frame, px, py));
    KeepWindowsAbove(display, root, argv[6], screen, shot, x, y, width, height);
    if (!WritePpm(argv[1], shot, rootAttributes.visual)) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    printf("3D view frame read from X window 0x%lx (%dx%d at %d,%d)\n", (unsigned long)source, width, height, x, y);
    XCloseDisplay(display);
    return 0;
}
