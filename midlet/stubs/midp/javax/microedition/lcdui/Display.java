package javax.microedition.lcdui;
import javax.microedition.midlet.MIDlet;
public class Display {
  Display() {}
  public static native Display getDisplay(MIDlet m);
  public native boolean isColor();
  public native int numColors();
  public native Displayable getCurrent();
  public native void setCurrent(Displayable nextDisplayable);
  public native void setCurrent(Alert alert, Displayable nextDisplayable);
  public native void callSerially(Runnable r);
}
