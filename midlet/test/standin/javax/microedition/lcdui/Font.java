package javax.microedition.lcdui;

/** Desktop stand-in: a fixed-pitch font, every letter as wide as 3/5 of the font height. */
public final class Font {
  public static final int STYLE_PLAIN = 0;
  public static final int STYLE_BOLD = 1;
  public static final int STYLE_ITALIC = 2;
  public static final int STYLE_UNDERLINED = 4;
  public static final int SIZE_SMALL = 8;
  public static final int SIZE_MEDIUM = 0;
  public static final int SIZE_LARGE = 16;
  public static final int FACE_SYSTEM = 0;
  public static final int FACE_MONOSPACE = 32;
  public static final int FACE_PROPORTIONAL = 64;
  private final int face, style, size;

  private Font(int face, int style, int size) {
    this.face = face;
    this.style = style;
    this.size = size;
  }

  public static Font getDefaultFont() {
    return new Font(FACE_SYSTEM, STYLE_PLAIN, SIZE_MEDIUM);
  }

  public static Font getFont(int face, int style, int size) {
    return new Font(face, style, size);
  }

  public int getFace() {
    return face;
  }

  public int getStyle() {
    return style;
  }

  public int getSize() {
    return size;
  }

  public int getHeight() {
    return size == SIZE_SMALL ? 8 : size == SIZE_LARGE ? 15 : 10;
  }

  public int getBaselinePosition() {
    return getHeight() - 2;
  }

  public int charWidth(char c) {
    return getHeight() * 3 / 5;
  }

  public int charsWidth(char[] ch, int offset, int length) {
    return length * charWidth(' ');
  }

  public int stringWidth(String s) {
    return s.length() * charWidth(' ');
  }

  public int substringWidth(String s, int offset, int length) {
    return length * charWidth(' ');
  }
}
