package javax.microedition.lcdui;
public class TextBox extends Screen {
  public TextBox(String title, String text, int maxSize, int constraints) {}
  public native String getString();
  public native void setString(String text);
  public native int size();
  public native int getMaxSize();
  public native int setMaxSize(int maxSize);
  public native int getCaretPosition();
  public native void setConstraints(int constraints);
  public native int getConstraints();
}
