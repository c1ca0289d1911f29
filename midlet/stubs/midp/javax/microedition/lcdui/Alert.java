package javax.microedition.lcdui;
public class Alert extends Screen {
  public static final int FOREVER = -2;
  public Alert(String title) {}
  public Alert(String title, String alertText, Image alertImage, AlertType alertType) {}
  public native int getDefaultTimeout();
  public native int getTimeout();
  public native void setTimeout(int time);
  public native String getString();
  public native void setString(String str);
  public native void setType(AlertType type);
}
