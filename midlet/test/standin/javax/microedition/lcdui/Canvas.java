package javax.microedition.lcdui;

import java.awt.image.BufferedImage;
import java.util.List;

/** Desktop stand-in: the tests paint it into an image and press its keys. */
public abstract class Canvas extends Displayable {
  public static final int UP = 1;
  public static final int DOWN = 6;
  public static final int LEFT = 2;
  public static final int RIGHT = 5;
  public static final int FIRE = 8;
  public static final int GAME_A = 9;
  public static final int GAME_B = 10;
  public static final int GAME_C = 11;
  public static final int GAME_D = 12;
  public static final int KEY_NUM0 = 48;
  public static final int KEY_NUM1 = 49;
  public static final int KEY_NUM2 = 50;
  public static final int KEY_NUM3 = 51;
  public static final int KEY_NUM4 = 52;
  public static final int KEY_NUM5 = 53;
  public static final int KEY_NUM6 = 54;
  public static final int KEY_NUM7 = 55;
  public static final int KEY_NUM8 = 56;
  public static final int KEY_NUM9 = 57;
  public static final int KEY_STAR = 42;
  public static final int KEY_POUND = 35;
  /** Key codes of the joystick, as many phones send them. */
  public static final int KEY_UP = -1, KEY_DOWN = -2, KEY_LEFT = -3, KEY_RIGHT = -4, KEY_FIRE = -5;
  public static final int KEY_SOFT1 = -6;

  /** The screen size of every canvas. */
  public static int screenWidth = 128, screenHeight = 128;
  private Graphics lastGraphics;
  private boolean fullScreen;

  protected Canvas() {}

  public int getWidth() {
    return screenWidth;
  }

  public int getHeight() {
    return screenHeight;
  }

  /** MIDP 2.0; the tests make the midlet see MIDP 2.0 by adding a GameCanvas class. */
  public void setFullScreenMode(boolean on) {
    fullScreen = on;
  }

  public boolean isFullScreen() {
    return fullScreen;
  }

  public boolean isDoubleBuffered() {
    return true;
  }

  public boolean hasRepeatEvents() {
    return true;
  }

  public int getGameAction(int keyCode) {
    switch (keyCode) {
      case KEY_NUM2: case KEY_UP: return UP;
      case KEY_NUM8: case KEY_DOWN: return DOWN;
      case KEY_NUM4: case KEY_LEFT: return LEFT;
      case KEY_NUM6: case KEY_RIGHT: return RIGHT;
      case KEY_NUM5: case KEY_FIRE: return FIRE;
      case KEY_NUM7: return GAME_A;
      case KEY_NUM9: return GAME_B;
      case KEY_STAR: return GAME_C;
      case KEY_POUND: return GAME_D;
      default:
        if (keyCode < 48 || keyCode > 57) {
          if (keyCode >= 0) throw new IllegalArgumentException("key " + keyCode);
        }
        return 0;
    }
  }

  protected void keyPressed(int keyCode) {}

  protected void keyRepeated(int keyCode) {}

  protected void keyReleased(int keyCode) {}

  public final void repaint() {}

  public final void repaint(int x, int y, int w, int h) {}

  public final void serviceRepaints() {}

  protected void showNotify() {}

  protected void hideNotify() {}

  protected abstract void paint(Graphics g);

  /** Paints the canvas as the phone would now. */
  public BufferedImage snapshot() {
    BufferedImage image = new BufferedImage(screenWidth, screenHeight, BufferedImage.TYPE_INT_RGB);
    lastGraphics = new Graphics(image);
    paint(lastGraphics);
    return image;
  }

  /** The texts that the last snapshot drew with the phone font, as "x,y:text". */
  public List<String> drawnText() {
    return lastGraphics.texts();
  }

  public void press(int keyCode) {
    keyPressed(keyCode);
    keyReleased(keyCode);
  }

  public void hold(int keyCode) {
    keyPressed(keyCode);
    keyRepeated(keyCode);
  }
}
