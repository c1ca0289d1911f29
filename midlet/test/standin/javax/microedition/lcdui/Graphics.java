package javax.microedition.lcdui;

import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.util.ArrayList;
import java.util.List;

/**
 * Desktop stand-in drawing into a BufferedImage. Phone-font text is drawn as one box of ink per
 * non-blank letter and logged, so that tests can read what was written where.
 */
public class Graphics {
  public static final int HCENTER = 1;
  public static final int VCENTER = 2;
  public static final int LEFT = 4;
  public static final int RIGHT = 8;
  public static final int TOP = 16;
  public static final int BOTTOM = 32;
  public static final int BASELINE = 64;
  public static final int SOLID = 0;
  public static final int DOTTED = 1;
  private final Graphics2D g;
  private final List<String> texts = new ArrayList<>();
  private int color;
  private Font font = Font.getDefaultFont();
  private int tx, ty;

  Graphics(BufferedImage image) {
    g = image.createGraphics();
    g.setColor(Color.BLACK);
  }

  List<String> texts() {
    return texts;
  }

  public void translate(int x, int y) {
    tx += x;
    ty += y;
    g.translate(x, y);
  }

  public int getTranslateX() {
    return tx;
  }

  public int getTranslateY() {
    return ty;
  }

  public int getColor() {
    return color;
  }

  public void setColor(int r, int gr, int b) {
    if ((r | gr | b) < 0 || r > 255 || gr > 255 || b > 255) throw new IllegalArgumentException();
    setColor(r << 16 | gr << 8 | b);
  }

  public void setColor(int rgb) {
    color = rgb & 0xFFFFFF;
    g.setColor(new Color(color));
  }

  public void setGrayScale(int v) {
    setColor(v, v, v);
  }

  public Font getFont() {
    return font;
  }

  public void setFont(Font f) {
    font = f == null ? Font.getDefaultFont() : f;
  }

  public void setStrokeStyle(int style) {}

  public int getClipX() {
    java.awt.Rectangle r = g.getClipBounds();
    return r == null ? 0 : r.x;
  }

  public int getClipY() {
    java.awt.Rectangle r = g.getClipBounds();
    return r == null ? 0 : r.y;
  }

  public int getClipWidth() {
    java.awt.Rectangle r = g.getClipBounds();
    return r == null ? Canvas.screenWidth : r.width;
  }

  public int getClipHeight() {
    java.awt.Rectangle r = g.getClipBounds();
    return r == null ? Canvas.screenHeight : r.height;
  }

  public void clipRect(int x, int y, int w, int h) {
    g.clipRect(x, y, w, h);
  }

  public void setClip(int x, int y, int w, int h) {
    g.setClip(x, y, w, h);
  }

  public void drawLine(int x1, int y1, int x2, int y2) {
    g.drawLine(x1, y1, x2, y2);
  }

  public void fillRect(int x, int y, int w, int h) {
    if (w > 0 && h > 0) g.fillRect(x, y, w, h);
  }

  public void drawRect(int x, int y, int w, int h) {
    if (w >= 0 && h >= 0) g.drawRect(x, y, w, h);
  }

  public void drawString(String s, int x, int y, int anchor) {
    int w = font.stringWidth(s);
    x -= (anchor & HCENTER) != 0 ? w / 2 : (anchor & RIGHT) != 0 ? w : 0;
    y -= (anchor & BOTTOM) != 0 ? font.getHeight() : (anchor & BASELINE) != 0 ? font.getBaselinePosition() : 0;
    texts.add(x + "," + y + ":" + s);
    int cw = font.charWidth(' ');
    for (int i = 0; i < s.length(); i++) {
      if (s.charAt(i) > ' ') g.fillRect(x + i * cw + 1, y + 2, cw - 2, font.getHeight() - 4);
    }
  }

  public void drawSubstring(String s, int offset, int len, int x, int y, int anchor) {
    drawString(s.substring(offset, offset + len), x, y, anchor);
  }

  public void drawChar(char c, int x, int y, int anchor) {
    drawString(String.valueOf(c), x, y, anchor);
  }

  public void drawChars(char[] data, int offset, int length, int x, int y, int anchor) {
    drawString(new String(data, offset, length), x, y, anchor);
  }

  public void drawImage(Image img, int x, int y, int anchor) {
    int w = img.getWidth(), h = img.getHeight();
    x -= (anchor & HCENTER) != 0 ? w / 2 : (anchor & RIGHT) != 0 ? w : 0;
    y -= (anchor & VCENTER) != 0 ? h / 2 : (anchor & BOTTOM) != 0 ? h : 0;
    g.drawImage(img.image, x, y, null);
  }
}
