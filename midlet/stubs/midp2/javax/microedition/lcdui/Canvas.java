package javax.microedition.lcdui;

/**
 * MIDP 2.0 Canvas, only the members that the full-screen canvas uses. It shadows
 * the MIDP 1.0 Canvas when that one class is compiled.
 */
public abstract class Canvas extends Displayable {
  protected Canvas() {}
  public native void setFullScreenMode(boolean mode);
  public native int getGameAction(int keyCode);
  protected native void keyPressed(int keyCode);
  protected native void keyRepeated(int keyCode);
  protected native void sizeChanged(int w, int h);
  protected abstract void paint(Graphics g);
  public final native void repaint();
}
