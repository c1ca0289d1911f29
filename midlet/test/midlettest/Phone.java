package midlettest;

import java.awt.image.BufferedImage;
import java.io.InputStream;
import java.net.URL;
import java.net.URLClassLoader;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Display;
import javax.microedition.lcdui.Displayable;
import javax.microedition.midlet.MIDlet;

/** One run of a package on the desktop stand-in, in a class loader of its own. */
final class Phone {
  final MIDlet midlet;
  final Display display;
  /** The resources that the midlet opened through getResourceAsStream, in order. */
  final List<String> reads = new ArrayList<>();

  /** Starts the midlet of a package folder or JAR file, on a phone with the extra API classes. */
  Phone(Path pkg, Path... extraApi) throws Exception {
    URL[] urls = new URL[1 + extraApi.length];
    urls[0] = pkg.toUri().toURL();
    for (int i = 0; i < extraApi.length; i++) urls[i + 1] = extraApi[i].toUri().toURL();
    URLClassLoader loader = new URLClassLoader(urls, Phone.class.getClassLoader()) {
      @Override
      public InputStream getResourceAsStream(String name) {
        reads.add(name);
        return super.getResourceAsStream(name);
      }
    };
    midlet = (MIDlet) loader.loadClass("TBookMIDlet").getDeclaredConstructor().newInstance();
    display = Display.getDisplay(midlet);
    MIDlet.start(midlet);
  }

  Displayable current() {
    return display.getCurrent();
  }

  <T> T current(Class<T> kind) {
    Displayable d = display.getCurrent();
    Check.that(kind.isInstance(d), "expected a " + kind.getSimpleName() + " on screen, found " + d);
    return kind.cast(d);
  }

  Canvas canvas() {
    return current(Canvas.class);
  }

  BufferedImage screen() {
    return canvas().snapshot();
  }

  void press(int... keys) {
    for (int key : keys) canvas().press(key);
  }

  /** Presses 6 until the screen stays the same; the screens seen, first to last. */
  List<BufferedImage> pageToEnd() {
    List<BufferedImage> pages = new ArrayList<>(List.of(screen()));
    for (BufferedImage next = null; ; pages.add(next)) {
      Check.that(pages.size() < 500, "paging never reaches the end");
      press(Canvas.KEY_NUM6);
      next = screen();
      if (same(pages.get(pages.size() - 1), next)) return pages;
    }
  }

  /** From the last of the pages that pageToEnd saw, 4 shows each page before it in turn. */
  void pageBackThrough(List<BufferedImage> pages, String what) {
    for (int i = pages.size() - 2; i >= 0; i--) {
      press(Canvas.KEY_NUM4);
      Check.that(same(pages.get(i), screen()),
                 what + ": paging back to page " + i + " of " + pages.size());
    }
  }

  static boolean same(BufferedImage a, BufferedImage b) {
    for (int y = 0; y < a.getHeight(); y++) {
      for (int x = 0; x < a.getWidth(); x++) {
        if (a.getRGB(x, y) != b.getRGB(x, y)) return false;
      }
    }
    return true;
  }

  /** Leaves the midlet as the Exit command does, so that it saves its state. */
  void exit() throws Exception {
    MIDlet.destroy(midlet);
  }
}
